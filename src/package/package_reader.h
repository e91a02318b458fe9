#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/package_format.h"

namespace brindle {

// Describes the package read last: its path, where its data blocks start and
// end, and its entries in directory order.
class PackageReader {
public:
    // Reads the trailer and directory of the package at the end of `path`
    // (in a signed installer: in front of its certificate table), replacing
    // the entry list. False (and an empty list) when the file holds no sound
    // package: no "Pack" trailer, sizes that do not fit the file, or a
    // directory that does not unpack or parse.
    bool readDirectory(const std::string& path);

    const std::vector<PackageEntry>& entries() const { return entries_; }
    const std::string& packagePath() const { return packagePath_; }
    std::uint32_t dataStart() const { return dataStart_; }
    // Offset of the directory, which ends the entry data.
    std::uint64_t dataEnd() const { return dataEnd_; }
    // Whether the file ends in a sound certificate table (it is signed), and
    // the table's size; told even when no package was found.
    bool signatureFound() const { return certificateTableSize_ != 0; }
    std::uint32_t certificateTableSize() const { return certificateTableSize_; }

private:
    std::string packagePath_;
    std::uint32_t dataStart_ = 0;
    std::uint64_t dataEnd_ = 0;
    std::uint32_t certificateTableSize_ = 0;
    std::vector<PackageEntry> entries_;
};

}  // namespace brindle
