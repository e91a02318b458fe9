// The one reading of an entry's block, shared by extraction and the package
// check: the stored bytes at the cursor, unpacked and checked in memory.
#pragma once

#include <cstdint>
#include <memory>

#include "package/data_cursor.h"
#include "package/package_reader.h"

namespace brindle {

enum class EntryData {
    Read,       // `data` holds the entry's `size` bytes
    Truncated,  // the package ends (or breaks off) before the block's end
    TooLarge,   // no memory for the block; the cursor is past it
    Damaged,    // the block does not unpack to its size or fails its checksum
};

// Reads the block of a file entry whose size is above 0.
EntryData readEntryData(const PackageEntry& entry, DataCursor& cursor, std::unique_ptr<std::uint8_t[]>& data);

}  // namespace brindle
