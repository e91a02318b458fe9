#include "package/block_checksum.h"

#include "package/packed_block.h"

namespace brindle {

namespace {
inline std::uint32_t mix(std::uint32_t sum, std::uint32_t word) {
    sum += word;
    return sum ^ (((word << 1) | (word >> 31)) + 1);
}
}  // namespace

std::uint32_t blockChecksum(const std::uint8_t* data, std::size_t length) {
    if (length < 4) return 0;
    std::uint32_t sum = 0;
    std::size_t at = 0;
    for (; at + 4 <= length; at += 4) sum = mix(sum, loadLe32(data + at));
    // A tail shorter than a word is covered by the last four bytes, which
    // overlap the word before.
    if (at != length) sum = mix(sum, loadLe32(data + length - 4));
    return sum;
}

}  // namespace brindle
