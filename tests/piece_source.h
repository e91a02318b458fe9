// A block source that hands out a block's bytes after its header in pieces
// of a chosen size, and a sink that keeps what it is given, for the
// streaming decoders' tests and fuzz targets.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "package/lzma_decoder.h"

namespace brindle::test {

class PieceSource final : public BlockSource {
public:
    PieceSource(const std::uint8_t* block, std::size_t length, std::size_t piece)
        : at_(block + std::min(length, kLzmaHeaderSize)), end_(block + length), piece_(piece) {}
    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        const std::size_t count = std::min({capacity, piece_, std::size_t(end_ - at_)});
        std::memcpy(buffer, at_, count);
        at_ += count;
        return count;
    }

private:
    const std::uint8_t* at_;
    const std::uint8_t* end_;
    std::size_t piece_;
};

// Refuses a write that would take it past `refuseAfter` bytes.
class CollectingSink final : public ContentSink {
public:
    explicit CollectingSink(std::size_t refuseAfter = SIZE_MAX) : refuseAfter_(refuseAfter) {}
    bool write(const std::uint8_t* data, std::size_t length) override {
        if (bytes.size() + length > refuseAfter_) return false;
        bytes.insert(bytes.end(), data, data + length);
        return true;
    }
    std::vector<std::uint8_t> bytes;

private:
    std::size_t refuseAfter_;
};

}  // namespace brindle::test
