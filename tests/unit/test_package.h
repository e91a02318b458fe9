#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "package/package_reader.h"
#include "toolkit/files.h"

namespace brindle::test {

struct Item {
    std::string name;
    std::string content;  // files only
    bool folder = false;
    std::uint64_t created = 0x01D9000000000000ULL;
    std::uint64_t modified = 0x01DA000000000000ULL;
    bool raw = false;  // stored as it is, even where packing would pay
    // Packed with the LZMA method in parts of 64 KiB and a 16 KiB dictionary,
    // so that its decoding wraps its window many times.
    bool lzma = false;
};

inline Item folderItem(std::string name) { return Item{std::move(name), {}, true}; }
inline Item fileItem(std::string name, std::string content) { return Item{std::move(name), std::move(content)}; }
inline Item lzmaItem(std::string name, std::string content) {
    Item item{std::move(name), std::move(content)};
    item.lzma = true;
    return item;
}

// Writes `prefix` and then a package of `items` to `path`.
void writePackage(const std::filesystem::path& path, const std::vector<Item>& items, const std::string& prefix = "");

// A package file opened and read, held as the programs hold it.
struct OpenPackage {
    InputFile file;
    PackageReader reader;

    // Opens `path` anew and reads it; NoPackage when it cannot be opened.
    PackageRead read(const std::filesystem::path& path, PackageFile kind = PackageFile::Package) {
        return file.open(path.string()) ? reader.readDirectory(file, kind) : PackageRead::NoPackage;
    }
};

}  // namespace brindle::test
