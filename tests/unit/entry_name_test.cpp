#include <gtest/gtest.h>

#include "package/entry_name.h"
#include "toolkit/path_text.h"

namespace brindle {
namespace {

// A dot in a folder's name is no extension.
TEST(EntryName, ExtensionAndPathPart) {
    const std::pair<const char*, const char*> extensions[] = {
        {"setup.ini", "ini"}, {"archive.tar.gz", "gz"}, {"noext", ""}, {"dir.d\\file", ""},
        {"dir.d/file", ""},   {"\"quoted.exe\"", "exe"}, {"trailing.", ""}};
    for (const auto& [name, extension] : extensions) EXPECT_EQ(extensionOf(name), extension) << name;
    const std::pair<const char*, const char*> paths[] = {{"a\\b\\c.txt", "a\\b\\"}, {"a/b.txt", "a/"}, {"c.txt", ""}};
    for (const auto& [name, path] : paths) EXPECT_EQ(pathPartOf(name), path) << name;
}

// Ports are numbered with superscript digits too (Windows-1252 0xB9, 0xB2,
// 0xB3); a name longer than Windows takes at all is refused for its length.
TEST(EntryName, SafeNames) {
    for (const std::string name : {"file.txt", "sub\\file.txt", "sub\\", "a\\\\b", "..data", "x..y\\z",
                                   "name with blanks", "console.txt", "com10", "COM\xB4", "lpt\xB9\xB9"})
        EXPECT_TRUE(isSafeEntryName(name)) << name;
    EXPECT_TRUE(isSafeEntryName(std::string(32767, 'x')));
    for (const std::string name : {"", "..", "..\\x", "a\\..\\..\\x", "a/../x", ".\\x", "...\\x", "a\\. \\x", "\\x",
                                   "/x", "C:x", "C:\\x", "\\\\srv\\share", "\\\\?\\C:\\x", "file.txt:ads", "NUL",
                                   "nul.txt", "sub\\CON", "com1.log", "LPT9", "COM\xB9", "sub\\lpt\xB2.txt", "Com\xB3 .log"})
        EXPECT_FALSE(isSafeEntryName(name)) << name;
    EXPECT_FALSE(isSafeEntryName(std::string(32768, 'x')));
}

TEST(KeepList, ItemsAreCountedByBars) {
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"", {}}, {"ini", {"ini"}}, {"ini|", {"ini"}}, {"ini|cfg", {"ini"}}, {"ini|cfg|", {"ini", "cfg"}}, {"|", {""}}};
    for (const auto& [list, items] : rows) EXPECT_EQ(parseKeepList(list), items) << list;
}

}  // namespace
}  // namespace brindle
