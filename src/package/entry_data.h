// The one reading of an entry's block, shared by extraction and the package
// check: the stored bytes at the cursor, checked on their way to a sink.
#pragma once

#include <cstdint>

#include "package/data_cursor.h"
#include "package/lzma_decoder.h"
#include "package/package_reader.h"
#include "package/unpack.h"

namespace brindle {

enum class EntryData {
    Read,         // the sink had the entry's `size` bytes
    Truncated,    // the package ends (or breaks off) before the block's end
    TooLarge,     // no memory for the block; the cursor is past it
    Damaged,      // the block does not unpack to its size or fails its checksum
    WriteFailed,  // the sink refused the content
};

// Passes the content of a file entry to `sink`, in bounded memory whatever
// its size: a raw block in pieces, an LZMA block as a stream within its
// dictionary, an LZ block through a window of `lzBuffers`. The cursor ends
// past the block unless the package breaks off. On anything but Read the
// sink may have had part of the content, which the caller throws away.
EntryData streamEntryData(const PackageEntry& entry, DataCursor& cursor, ContentSink& sink,
                          const LzStreamBuffers& lzBuffers = {});

}  // namespace brindle
