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
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"", {}}, {"ini", {"ini"}}, {"ini|", {"ini"}}, {"ini|cfg", {"ini"}}, {"ini|cfg|", {"ini", "cfg"}}, {"|", {""}}};
    for (const auto& [list, items] : rows) EXPECT_EQ(parseKeepList(list), items) << list;
}

}  // namespace
}  // namespace brindle
