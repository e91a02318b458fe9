#include <gtest/gtest.h>

#include <tuple>

#include "config/preference_file.h"
#include "temp_folder.h"

namespace brindle {
namespace {

class PreferenceFileTest : public ::testing::Test {
protected:
    std::string path(const char* name = "test.ini") const { return (folder.path() / name).string(); }
    void write(const std::string& content, const char* name = "test.ini") const {
        test::writeText(folder.path() / name, content);
    }
    std::string content(const char* name = "test.ini") const { return test::readText(folder.path() / name); }

    test::TempFolder folder;
    PreferenceFile ini;
};

// One file for every rule of reading; each read below opens it afresh.
constexpr char kReadRules[] =
    "top=before groups\n"
    "[G] trailing text\nA=one two\r\nB = one two\r\n   C   =   one two   \n"
    "  ; a comment\nvalue=a=b;c\n=\nno equals sign  \nx=1\nK=first\nK=second\n"
    "[Info]\nTitel=Tool\n[ Spaced ]\nKey=inside\n"
    "[N]\nplain=42\nneg= -7\nmixed=12abc\nletters=abc\nempty=\nbig=2147483649\n"
    "[A]\na=1\n[B]\nb=2\n[unclosed\nk=v\n"
    "[G]\nK=third\nOnly=later\n";

TEST_F(PreferenceFileTest, Reading) {
    write(kReadRules);
    // Group names ignore ASCII case but not blanks; "" is the part before the first group.
    const std::pair<const char*, bool> groups[] = {{"INFO", true}, {"Spaced", false}, {" spaced ", true},
                                                   {"unclosed", true}, {"", true}, {"Missing", false}};
    ASSERT_TRUE(ini.open(path()));
    for (const auto& [group, found] : groups) EXPECT_EQ(ini.selectGroup(group), found) << group;
    // Group (none: no group selected), key, fallback, value read.
    const std::tuple<const char*, const char*, const char*, const char*> strings[] = {
        {nullptr, "top", "", "before groups"}, {"", "top", "", "before groups"}, {"", "a", "none", "none"},
        {"A", "b", "none", "none"}, {"A", "top", "none", "none"},
        {"G", "A", "", "one two"}, {"G", "B", "", "one two"}, {"G", "C", "", "one two"},  // blanks around "="
        {"G", "value", "", "a=b;c"},
        {"G", "no equals sign", "default", ""},  // a key with an empty value
        {"G", "x", "", "1"},                     // read on its own
        {"G", "", "default", ""},                // the bare "=" line
        {"g", "k", "", "first"},                 // the first of duplicate keys and groups
        {"G", "Only", "none", "none"},           // in the second group of that name
        {"INFO", "titel", "", "Tool"}, {"Info", "TITEL", "", "Tool"}, {" spaced ", "key", "", "inside"},
        {"unclosed", "k", "", "v"}, {"N", "empty", "default", ""},
        {"Missing", "k", "d", "d"},  // a pending group reads as empty
    };
    for (const auto& [group, key, fallback, expected] : strings) {
        ASSERT_TRUE(ini.open(path()));
        if (group) ini.selectGroup(group);
        EXPECT_EQ(ini.readString(key, fallback), expected) << (group ? group : "(none)") << "/" << key;
    }
    const std::tuple<const char*, const char*, std::int32_t, std::int32_t> numbers[] = {
        {"N", "plain", 0, 42}, {"N", "neg", 0, -7}, {"N", "mixed", 0, 12},
        {"N", "letters", 99, 0}, {"N", "empty", 99, 0},  // present: 0, not the fallback
        {"N", "absent", 99, 99}, {"N", "big", 0, std::int32_t(0x80000001u)}, {"Missing", "k", 5, 5},
    };
    for (const auto& [group, key, fallback, expected] : numbers) {
        ASSERT_TRUE(ini.open(path()));
        ini.selectGroup(group);
        EXPECT_EQ(ini.readLong(key, fallback), expected) << group << "/" << key;
    }
}

TEST_F(PreferenceFileTest, WritingRewritesTheFileInNormalForm) {
    struct Case {
        const char* input;
        const char* group;  // none: no group selected
        std::vector<std::pair<const char*, const char*>> writes;
        const char* output;
    };
    const char* const untouched = "\n\n  ;comment\r\n[G]   junk\r\n k  =  v  \n\n\nline without\n";
    const Case cases[] = {
        // The first of duplicate keys is replaced.
        {"[G]\nK=first\nK=second\n[G]\nK=third\nOnly=later\n", "g", {{"K", "new"}},
         "[G]\r\nK = new\r\nK = second\r\n[G]\r\nK = third\r\nOnly = later\r\n"},
        // A pending group is added at the end.
        {"[A]\nk=1\n", "Missing", {{"New", "v"}, {"Count", "-3"}},
         "[A]\r\nk = 1\r\n[Missing]\r\nNew = v\r\nCount = -3\r\n"},
        // New keys go after the section's comments; a key keeps its place and takes the caller's spelling.
        {"[A]\nk=1\n; about A\n[B]\nb=2\n", "A", {{"added", "x"}, {"K", "replaced"}},
         "[A]\r\nK = replaced\r\n; about A\r\nadded = x\r\n[B]\r\nb = 2\r\n"},
        {"[A]\nk=1\n", nullptr, {{"free", "yes"}}, "free = yes\r\n[A]\r\nk = 1\r\n"},
        {untouched, "G", {}, untouched},  // nothing written: the bytes stay
        {"\n\n  ;comment\r\n;  two spaces\n[G]   junk\r\n k  =  v  \n\n\nline without\n", "G", {{"empty", ""}},
         "; comment\r\n;  two spaces\r\n[G]\r\nk = v  \r\nline without = \r\nempty = \r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        write(c.input);
        ASSERT_TRUE(ini.open(path()));
        if (c.group) ini.selectGroup(c.group);
        ini.readString("k");  // reading alone never rewrites
        for (const auto& [key, value] : c.writes) ini.writeString(key, value);
        ini.close();
        EXPECT_EQ(content(), c.output);
    }
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
    ini.writeLong("Count", -3);
    ini.close();
    EXPECT_EQ(content("new.ini"), "[Settings]\r\nProgDir = C:\\App\\\r\nCount = -3\r\n");
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
