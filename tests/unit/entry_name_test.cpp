#include <gtest/gtest.h>

#include "package/entry_name.h"
#include "toolkit/path_text.h"

namespace brindle {
namespace {

TEST(EntryName, ExtensionAndPathPart) {
    EXPECT_EQ(extensionOf("setup.ini"), "ini");
    EXPECT_EQ(extensionOf("archive.tar.gz"), "gz");
    EXPECT_EQ(extensionOf("noext"), "");
    EXPECT_EQ(extensionOf("dir.d\\file"), "");  // the dot belongs to a folder
    EXPECT_EQ(extensionOf("dir.d/file"), "");
    EXPECT_EQ(extensionOf("\"quoted.exe\""), "exe");
    EXPECT_EQ(extensionOf("trailing."), "");
    EXPECT_EQ(pathPartOf("a\\b\\c.txt"), "a\\b\\");
    EXPECT_EQ(pathPartOf("a/b.txt"), "a/");
    EXPECT_EQ(pathPartOf("c.txt"), "");
}

TEST(EntryName, SafeNames) {
    for (const char* name : {"file.txt", "sub\\file.txt", "sub\\", "a\\\\b", "..data", "x..y\\z", "name with blanks",
                             "console.txt", "com10"})
        EXPECT_TRUE(isSafeEntryName(name)) << name;
    for (const char* name : {"", "..", "..\\x", "a\\..\\..\\x", "a/../x", ".\\x", "...\\x", "a\\. \\x", "\\x",
                             "/x", "C:x", "C:\\x", "\\\\srv\\share", "\\\\?\\C:\\x", "file.txt:ads", "NUL", "nul.txt",
                             "sub\\CON", "com1.log", "LPT9"})
        EXPECT_FALSE(isSafeEntryName(name)) << name;
}

TEST(KeepList, ItemsAreCountedByBars) {
    EXPECT_TRUE(parseKeepList("").empty());
    EXPECT_EQ(parseKeepList("ini"), std::vector<std::string>{"ini"});
    EXPECT_EQ(parseKeepList("ini|"), std::vector<std::string>{"ini"});
    EXPECT_EQ(parseKeepList("ini|cfg"), std::vector<std::string>{"ini"});
    EXPECT_EQ(parseKeepList("ini|cfg|"), (std::vector<std::string>{"ini", "cfg"}));
    EXPECT_EQ(parseKeepList("|"), std::vector<std::string>{""});
}

}  // namespace
}  // namespace brindle
