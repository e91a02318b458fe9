#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brindle::tool {

struct TreeItem {
    std::filesystem::path hostPath;
    std::string packageName;  // relative, "\" separated, Windows-1252; folders end in "\"
    bool isFolder = false;
    std::uint64_t modified = 0;  // FILETIME
};

// Lists the tree below `root` in a stable order: names compared byte by byte,
// each folder before its contents. Fills `error` and returns false for
// anything a package cannot carry (links, special files, names that are not
// plain Windows names).
bool collectTree(const std::filesystem::path& root, std::vector<TreeItem>& items, std::string& error);

bool readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& content);

}  // namespace brindle::tool
