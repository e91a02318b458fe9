#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brindle {

// A block is packed in segments of this many bytes, each independently of
// the others' results, so that segments can be packed side by side; a match
// may still reach back into the segments before, within the window.
inline constexpr std::size_t kSegmentLength = std::size_t(32) << 20;

// The bit stream of one segment: whole words, then the bits left over.
struct PackedSegment {
    std::vector<std::uint8_t> words;
    std::uint32_t pending = 0;
    unsigned pendingBits = 0;
};

inline std::size_t segmentCount(std::size_t length, std::size_t segmentLength = kSegmentLength) {
    return (length + segmentLength - 1) / segmentLength;
}

// Segment `index` of the block data[0, length) cut into `segmentLength`
// pieces.
PackedSegment packSegment(const std::uint8_t* data, std::size_t length, std::size_t index,
                          std::size_t segmentLength = kSegmentLength);

// The packed block (header, checksum and bit stream) from all its segments.
std::vector<std::uint8_t> joinSegments(const std::uint8_t* data, std::size_t length,
                                       const std::vector<PackedSegment>& segments);

// Packs `length` bytes into a packed block that unpack() turns back into the
// same bytes: its segments one after the other.
std::vector<std::uint8_t> pack(const std::uint8_t* data, std::size_t length);

}  // namespace brindle
