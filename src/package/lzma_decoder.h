// The decoder of LZMA blocks (lzma_block.h), written from the published
// description of the LZMA stream. It decodes from memory into memory, like
// unpack(), or as a stream: from any source into any sink, holding no more
// than the block's dictionary, whatever its size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/block_stream.h"
#include "package/lzma_block.h"

namespace brindle {

// Unpacks the LZMA block `source` (`sourceLength` bytes) into `destination`
// (`capacity` bytes), with the same contract as unpack(): true and `written`
// the stated size when the block is sound; false and 0 otherwise. Never
// reads outside the block nor writes outside the destination.
bool unpackLzma(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination,
                std::size_t capacity, std::uint32_t& written);

// The largest window a streamed block may ask for.
inline constexpr std::uint32_t kLargestStreamWindow = std::uint32_t(48) << 20;

// Decodes the block of `header` (already read from its first
// kLzmaHeaderSize bytes), taking the rest from `source`. The content reaches
// `sink` in pieces as it is decoded and checked; a checksum that fails shows
// only at the end, so a caller writes to a place it can throw away.
StreamOutcome streamLzma(const LzmaBlockHeader& header, BlockSource& source, ContentSink& sink);

}  // namespace brindle
