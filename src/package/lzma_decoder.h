// The decoder of LZMA blocks (lzma_block.h), written from the published
// description of the LZMA stream. It decodes from memory into memory, like
// unpack(), or as a stream: from any source into any sink, holding no more
// than the block's dictionary, whatever its size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/lzma_block.h"

namespace brindle {

// The block's bytes after its header, in order.
class BlockSource {
public:
    // Up to `capacity` further bytes; 0 when none are left or they cannot be read.
    virtual std::size_t read(std::uint8_t* buffer, std::size_t capacity) = 0;

protected:
    ~BlockSource() = default;
};

// Where decoded content goes, piece by piece, in order.
class ContentSink {
public:
    virtual bool write(const std::uint8_t* data, std::size_t length) = 0;

protected:
    ~ContentSink() = default;
};

enum class LzmaOutcome {
    Done,         // the content went to the sink whole and matched its checksum
    Damaged,      // the block is not sound (or its source failed): refuse what was written
    NoMemory,     // no room for the window the block needs
    WriteFailed,  // the sink refused a piece
};

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
LzmaOutcome streamLzma(const LzmaBlockHeader& header, BlockSource& source, ContentSink& sink);

}  // namespace brindle
