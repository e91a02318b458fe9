#include <gtest/gtest.h>

#include "config/preference_file.h"
#include "temp_folder.h"

namespace brindle {
namespace {

class PreferenceFileTest : public ::testing::Test {
protected:
    std::string path(const char* name = "test.ini") const { return (folder.path() / name).string(); }
    void write(const std::string& content, const char* name = "test.ini") const {
        test::writeBytes(folder.path() / name, test::bytesOf(content));
    }
    std::string content(const char* name = "test.ini") const {
        const auto bytes = test::readBytes(folder.path() / name);
        return {bytes.begin(), bytes.end()};
    }

    test::TempFolder folder;
    PreferenceFile ini;
};

TEST_F(PreferenceFileTest, BlanksAroundTheEqualsSignDoNotMatter) {
    write("[G]\nA=one two\r\nB = one two\r\n   C   =   one two   \n");
    ASSERT_TRUE(ini.open(path()));
    ASSERT_TRUE(ini.selectGroup("G"));
    EXPECT_EQ(ini.readString("A"), "one two");
    EXPECT_EQ(ini.readString("B"), "one two");
    EXPECT_EQ(ini.readString("C"), "one two");
}

TEST_F(PreferenceFileTest, NamesIgnoreAsciiCaseButNotBlanks) {
    write("[Info]\nTitel=Tool\n[ Spaced ]\nKey=inside\n");
    ASSERT_TRUE(ini.open(path()));
    ASSERT_TRUE(ini.selectGroup("INFO"));
    EXPECT_EQ(ini.readString("titel"), "Tool");
    EXPECT_EQ(ini.readString("TITEL"), "Tool");
    EXPECT_FALSE(ini.selectGroup("Spaced"));
    EXPECT_TRUE(ini.selectGroup(" spaced "));
    EXPECT_EQ(ini.readString("key"), "inside");
}

TEST_F(PreferenceFileTest, FirstOfDuplicateGroupsAndKeysWins) {
    write("[G]\nK=first\nK=second\n[G]\nK=third\nOnly=later\n");
    ASSERT_TRUE(ini.open(path()));
    ASSERT_TRUE(ini.selectGroup("g"));
    EXPECT_EQ(ini.readString("k"), "first");
    EXPECT_EQ(ini.readString("Only", "none"), "none");  // in the second group of that name
    ini.writeString("K", "new");
    ini.close();
    EXPECT_EQ(content(), "[G]\r\nK = new\r\nK = second\r\n[G]\r\nK = third\r\nOnly = later\r\n");
}

TEST_F(PreferenceFileTest, LineKinds) {
    write("  ; a comment\n[G] trailing text\nvalue=a=b;c\n=\nno equals sign  \nx=1\n[unclosed\nk=v\n");
    ASSERT_TRUE(ini.open(path()));
    ASSERT_TRUE(ini.selectGroup("G"));
    EXPECT_EQ(ini.readString("value"), "a=b;c");
    EXPECT_EQ(ini.readString("no equals sign", "default"), "");  // a key with an empty value
    EXPECT_EQ(ini.readString("x"), "1");                         // read on its own
    EXPECT_EQ(ini.readString("", "default"), "");                // the bare "=" line
    EXPECT_TRUE(ini.selectGroup("unclosed"));
    EXPECT_EQ(ini.readString("k"), "v");
}

TEST_F(PreferenceFileTest, NumbersAndDefaults) {
    write("[N]\nplain=42\nneg= -7\nmixed=12abc\nletters=abc\nempty=\nbig=2147483649\n");
    ASSERT_TRUE(ini.open(path()));
    ASSERT_TRUE(ini.selectGroup("N"));
    EXPECT_EQ(ini.readLong("plain", 0), 42);
    EXPECT_EQ(ini.readLong("neg", 0), -7);
    EXPECT_EQ(ini.readLong("mixed", 0), 12);
    EXPECT_EQ(ini.readLong("letters", 99), 0);  // present: 0, not the default
    EXPECT_EQ(ini.readLong("empty", 99), 0);
    EXPECT_EQ(ini.readLong("absent", 99), 99);
    EXPECT_EQ(ini.readLong("big", 0), std::int32_t(0x80000001u));
    EXPECT_EQ(ini.readString("empty", "default"), "");
}

TEST_F(PreferenceFileTest, KeysAreFoundOnlyInTheirSection) {
    write("top=before groups\n[A]\na=1\n[B]\nb=2\n");
    ASSERT_TRUE(ini.open(path()));
    EXPECT_EQ(ini.readString("top"), "before groups");  // no group selected
    ASSERT_TRUE(ini.selectGroup("A"));
    EXPECT_EQ(ini.readString("b", "none"), "none");
    EXPECT_EQ(ini.readString("top", "none"), "none");
    ASSERT_TRUE(ini.selectGroup(""));
    EXPECT_EQ(ini.readString("a", "none"), "none");
}

TEST_F(PreferenceFileTest, PendingGroupGivesDefaultsAndIsWrittenAtTheEnd) {
    write("[A]\nk=1\n");
    ASSERT_TRUE(ini.open(path()));
    EXPECT_FALSE(ini.selectGroup("Missing"));
    EXPECT_EQ(ini.readString("k", "d"), "d");
    EXPECT_EQ(ini.readLong("k", 5), 5);
    ini.writeString("New", "v");
    ini.writeLong("Count", -3);
    ini.close();
    EXPECT_EQ(content(), "[A]\r\nk = 1\r\n[Missing]\r\nNew = v\r\nCount = -3\r\n");
}

TEST_F(PreferenceFileTest, NewKeysGoAfterTheSectionsComments) {
    write("[A]\nk=1\n; about A\n[B]\nb=2\n");
    ASSERT_TRUE(ini.open(path()));
    ASSERT_TRUE(ini.selectGroup("A"));
    ini.writeString("added", "x");
    ini.writeString("K", "replaced");  // in place, with the caller's spelling
    ini.close();
    EXPECT_EQ(content(), "[A]\r\nK = replaced\r\n; about A\r\nadded = x\r\n[B]\r\nb = 2\r\n");
}

TEST_F(PreferenceFileTest, WritingWithNoGroupGoesBeforeTheFirstGroup) {
    write("[A]\nk=1\n");
    ASSERT_TRUE(ini.open(path()));
    ini.writeString("free", "yes");
    ini.close();
    EXPECT_EQ(content(), "free = yes\r\n[A]\r\nk = 1\r\n");
}

TEST_F(PreferenceFileTest, ClosingWithoutWritesLeavesTheBytes) {
    const std::string original = "\n\n  ;comment\r\n[G]   junk\r\n k  =  v  \n\n\nline without\n";
    write(original);
    ASSERT_TRUE(ini.open(path()));
    ASSERT_TRUE(ini.selectGroup("G"));
    EXPECT_EQ(ini.readString("k"), "v");
    ini.close();
    EXPECT_EQ(content(), original);
}

TEST_F(PreferenceFileTest, WritingNormalisesEveryLine) {
    write("\n\n  ;comment\r\n;  two spaces\n[G]   junk\r\n k  =  v  \n\n\nline without\n");
    ASSERT_TRUE(ini.open(path()));
    ASSERT_TRUE(ini.selectGroup("G"));
    ini.writeString("empty", "");
    ini.close();
    EXPECT_EQ(content(), "; comment\r\n;  two spaces\r\n[G]\r\nk = v  \r\nline without = \r\nempty = \r\n");
}

TEST_F(PreferenceFileTest, Utf8FilesReadAndWriteAs8BitText) {
    write("\xEF\xBB\xBF[Gr\xC3\xBC\xC3\x9F" "e]\nName=Caf\xC3\xA9\nWide=\xE2\x82\xAC" "5\nBroken=a\xC3\nCut=ab\xC3\n");
    ASSERT_TRUE(ini.open(path()));
    ASSERT_TRUE(ini.selectGroup("Gr\xFC\xDF" "e"));  // asked for in 8-bit text
    EXPECT_EQ(ini.readString("Name"), "Caf\xE9");
    EXPECT_EQ(ini.readString("Wide", "d"), "");  // above U+00FF
    EXPECT_EQ(ini.readString("Cut", "d"), "ab");  // incomplete at the very end: dropped
    ini.writeString("New", "\xE0 la carte");
    ini.close();
    const std::string written = content();
    EXPECT_EQ(written.substr(0, 5), "\xEF\xBB\xBF\r\n");
    EXPECT_NE(written.find("New = \xC3\xA0 la carte\r\n"), std::string::npos);
    EXPECT_NE(written.find("[Gr\xC3\xBC\xC3\x9F" "e]\r\n"), std::string::npos);
}

TEST_F(PreferenceFileTest, MissingFileIsCreatedOnlyWhenWritten) {
    EXPECT_FALSE(ini.open(path("missing.ini")));
    EXPECT_EQ(ini.readString("any", "d"), "d");
    ini.close();
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing.ini"));

    EXPECT_FALSE(ini.open(path("new.ini")));
    ini.selectGroup("Settings");
    ini.writeString("ProgDir", "C:\\App\\");
    ini.close();
    EXPECT_EQ(content("new.ini"), "[Settings]\r\nProgDir = C:\\App\\\r\n");
}

TEST_F(PreferenceFileTest, OpeningAnotherFileWritesOutTheFirst) {
    write("[A]\n", "one.ini");
    write("[B]\nb=2\n", "two.ini");
    ASSERT_TRUE(ini.open(path("one.ini")));
    ini.selectGroup("A");
    ini.writeString("k", "v");
    ASSERT_TRUE(ini.open(path("two.ini")));
    EXPECT_EQ(content("one.ini"), "[A]\r\nk = v\r\n");
    ini.selectGroup("B");
    EXPECT_EQ(ini.readString("b"), "2");
}

TEST_F(PreferenceFileTest, NothingHappensWhenNoFileIsOpen) {
    EXPECT_FALSE(ini.selectGroup("A"));
    EXPECT_EQ(ini.readString("k", "d"), "d");
    EXPECT_EQ(ini.readLong("k", 3), 3);
    ini.writeString("k", "v");
    ini.close();
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
}  // namespace brindle
