#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "package/block_stream.h"
#include "package/packed_block.h"

namespace brindle {

// Unpacks the packed block `source` (`sourceLength` bytes) into `destination`
// (`capacity` bytes). True when the block is sound; `written` is then the
// unpacked size the header states (0 for an empty block). False, with
// `written` 0, when it is not: no "JC" magic, a header size above `capacity`,
// a stream that reads past the block, copies from before the start of the
// output, writes more or fewer bytes than the header states, takes a literal
// before its width is set, or fails its checksum. Writes nothing outside
// `destination[0, capacity)`; allocates nothing.
bool unpack(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination, std::size_t capacity,
            std::uint32_t& written);

// The same decoder with a bit buffer of the given width, std::uint32_t or
// std::uint64_t; `unpack` takes the width of the machine's registers. Both
// are built on every machine, so that each can be tested anywhere.
template <typename BitBuffer>
bool unpackWithBuffer(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination,
                      std::size_t capacity, std::uint32_t& written);
using RegisterBitBuffer = std::conditional_t<sizeof(void*) >= 8, std::uint64_t, std::uint32_t>;

// The unpacked size a packed block's header states; false when `source` is too
// short or lacks the magic.
bool packedBlockSize(const std::uint8_t* source, std::size_t sourceLength,
                     std::uint32_t* size);

// What a block decoded as a stream passes through: a window of the reach of
// its matches plus the new content it takes between two passes to the sink,
// and a buffer of packed bytes read ahead.
struct LzStreamBuffers {
    std::size_t reach = kLzMatchReach;
    std::size_t piece = std::size_t(24) << 20;
    std::size_t input = std::size_t(1) << 20;
};

// Decodes the packed block whose first `headLength` bytes (at least its
// header) are `head` and whose remaining bytes come from `rest`, passing its
// content to `sink` in pieces, in memory bounded by `buffers` whatever its
// size, by the same loop as unpack(). A block no larger than the window is
// held whole and decoded as unpack() decodes it; in a larger one, a match
// reaching further back than the window then holds (at least the reach)
// fails the block. A checksum that fails shows only at the end, so a caller
// writes to a place it can throw away.
StreamOutcome streamLz(const std::uint8_t* head, std::size_t headLength, BlockSource& rest, ContentSink& sink,
                       const LzStreamBuffers& buffers = {});
template <typename BitBuffer>
StreamOutcome streamLzWithBuffer(const std::uint8_t* head, std::size_t headLength, BlockSource& rest,
                                 ContentSink& sink, const LzStreamBuffers& buffers);

}  // namespace brindle
