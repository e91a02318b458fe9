#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brindle::test {

struct Item {
    std::string name;
    std::string content;  // files only
    bool folder = false;
    std::uint64_t created = 0x01D9000000000000ULL;
    std::uint64_t modified = 0x01DA000000000000ULL;
};

inline Item folderItem(std::string name) { return Item{std::move(name), {}, true}; }
inline Item fileItem(std::string name, std::string content) { return Item{std::move(name), std::move(content)}; }

// Writes `prefix` and then a package of `items` to `path`.
void writePackage(const std::filesystem::path& path, const std::vector<Item>& items, const std::string& prefix = "");

}  // namespace brindle::test
