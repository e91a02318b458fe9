#pragma once

#include <cstdint>
#include <vector>

#include "package/package_format.h"
#include "toolkit/files.h"

namespace brindle {

// What reading the package at the end of a file found.
enum class PackageRead {
    Read,                // a sound trailer and directory
    NoPackage,           // no package trailer ends the file, which is no executable image
    NothingAppended,     // an executable image with nothing behind it (a bare stub)
    MissingBehindImage,  // bytes behind an executable image that no package trailer ends (a download cut short)
    DirectoryDamaged,    // a trailer whose sizes do not fit the file, or a directory that does not unpack or parse
    ImageCut,            // the image's headers, sections or certificate table run past the end of the file
    TableMisplaced,      // the security directory names no certificate table behind the image
    TableUnrecognised,   // the certificate table holds entries the format does not define
    DataAfterTable,      // something follows the certificate table
};

// Where a package may lie in its file.
enum class PackageFile {
    Package,    // anywhere, the file's first bytes included, whatever they look like (setup.pck)
    Installer,  // a file that starts with an executable image holds its package behind the image, by the
                // image's rules: in front of its certificate table, if it has one, and nothing after it
};

// Describes the package read last: the open file it came from, where its
// data blocks start and end, and its entries in directory order. Every read
// of the package goes through that one file, so the directory and the
// blocks come from the same bytes, whatever happens to the file's name.
class PackageReader {
public:
    // Reads the trailer and directory of the package at the end of `file` (in
    // a signed installer: in front of its certificate table), replacing the
    // entry list; the entries are empty unless the result is Read. `file` must
    // stay open for as long as this reader's entries are extracted or checked.
    PackageRead readDirectory(InputFile& file, PackageFile kind);

    const std::vector<PackageEntry>& entries() const { return entries_; }
    InputFile& file() const { return *file_; }
    std::uint32_t dataStart() const { return dataStart_; }
    // Offset of the directory, which ends the entry data.
    std::uint64_t dataEnd() const { return dataEnd_; }
    // Whether the file ends in a sound certificate table (it is signed), and
    // the table's size; told even when no package was found.
    bool signatureFound() const { return certificateTableSize_ != 0; }
    std::uint32_t certificateTableSize() const { return certificateTableSize_; }

private:
    InputFile* file_ = nullptr;
    std::uint32_t dataStart_ = 0;
    std::uint64_t dataEnd_ = 0;
    std::uint32_t certificateTableSize_ = 0;
    std::vector<PackageEntry> entries_;
};

}  // namespace brindle
