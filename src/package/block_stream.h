// The two ends of a block decoded as a stream, shared by both block methods:
// where its packed bytes come from and where its content goes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brindle {

// The block's bytes after those the caller has already taken, in order.
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

enum class StreamOutcome {
    Done,         // the content went to the sink whole and matched its checksum
    Damaged,      // the block is not sound (or its source failed): refuse what was written
    NoMemory,     // no room for the window the block needs
    WriteFailed,  // the sink refused a piece
};

}  // namespace brindle
