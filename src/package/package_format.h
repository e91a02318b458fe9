// The package container: entry data blocks back to back from the data start,
// then the directory (raw or packed), then a 16-byte trailer ending in "Pack".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brindle {

inline constexpr std::size_t kTrailerSize = 16;
inline constexpr std::uint32_t kTrailerMagic = 0x6B636150;  // "Pack"

enum EntryKind : std::int32_t { kFolderEntry = 0, kFileEntry = 1 };

struct PackageEntry {
    std::string name;             // relative path, "\" separated, 8-bit ANSI
    std::int32_t kind = kFileEntry;
    // Sizes and offsets are unsigned 32-bit fields: an entry and the package
    // may reach 4 GiB.
    std::uint32_t size = 0;        // unpacked length
    std::uint32_t storedSize = 0;  // equal to size: stored raw
    std::uint32_t offset = 0;      // absolute offset of the block, as written
    std::uint64_t created = 0;    // FILETIME
    std::uint64_t modified = 0;   // FILETIME
};

struct PackageTrailer {
    std::uint32_t unpackedDirectorySize = 0;
    std::uint32_t storedDirectorySize = 0;
    std::uint32_t dataStart = 0;
};

// Parses an unpacked directory. False when the entries run past its end.
bool parseDirectory(const std::uint8_t* data, std::size_t length, std::vector<PackageEntry>& entries);
std::vector<std::uint8_t> serializeDirectory(const std::vector<PackageEntry>& entries);

void encodeTrailer(const PackageTrailer& trailer, std::uint8_t out[kTrailerSize]);
// False when the last four bytes are not "Pack".
bool decodeTrailer(const std::uint8_t in[kTrailerSize], PackageTrailer& trailer);

}  // namespace brindle
