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

void ChecksumStream::add(const std::uint8_t* data, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        last_[0] = last_[1];
        last_[1] = last_[2];
        last_[2] = last_[3];
        last_[3] = data[i];
        if (++count_ % 4 == 0) sum_ = mix(sum_, loadLe32(last_));
        // Whole words straight from the piece while the stream is aligned.
        if (count_ % 4 == 0) {
            std::size_t at = i + 1;
            for (; at + 4 <= length; at += 4) sum_ = mix(sum_, loadLe32(data + at));
            count_ += at - (i + 1);
            if (at != i + 1) {
                last_[0] = data[at - 4], last_[1] = data[at - 3], last_[2] = data[at - 2], last_[3] = data[at - 1];
            }
            i = at - 1;
        }
    }
}

std::uint32_t ChecksumStream::finish() const {
    if (count_ < 4) return 0;
    return count_ % 4 == 0 ? sum_ : mix(sum_, loadLe32(last_));
}

}  // namespace brindle
