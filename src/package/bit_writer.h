// Writes the bit stream of a packed block: codes most significant bit first,
// gathered into 32-bit words stored little-endian.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

#include "package/packed_block.h"

namespace brindle {

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // Appends the low `count` bits of `value` (count 0 to 32).
    void put(std::uint32_t value, unsigned count) {
        if (count == 0) return;
        const std::uint64_t mask = (std::uint64_t(1) << count) - 1;
        pending_ = (pending_ << count) | (value & mask);
        used_ += count;
        if (used_ >= 32) {
            used_ -= 32;
            storeWord(std::uint32_t(pending_ >> used_));
        }
    }

    // Gamma code of `value` (at least 2): the bits below its top bit, each
    // followed by a bit telling whether another one follows.
    void putGamma(std::uint32_t value) {
        for (int bit = std::bit_width(value) - 2; bit >= 0; --bit) {
            put((((value >> bit) & 1) << 1) | (bit > 0 ? 1 : 0), 2);
        }
    }

    // Appends whole 32-bit words stored as this writer stores them.
    void putWords(const std::vector<std::uint8_t>& words) {
        if (used_ == 0) {
            out_.insert(out_.end(), words.begin(), words.end());
            return;
        }
        for (std::size_t at = 0; at + 4 <= words.size(); at += 4) put(loadLe32(&words[at]), 32);
    }

    // The bits not yet stored as a word (the low `count` bits of `value`),
    // taken away so that another writer can put them.
    void takePending(std::uint32_t& value, unsigned& count) {
        value = std::uint32_t(pending_ & ((std::uint64_t(1) << used_) - 1));
        count = used_;
        used_ = 0;
    }

    // Pads the last word with zero bits.
    void finish() {
        if (used_ != 0) storeWord(std::uint32_t(pending_ << (32 - used_)));
        used_ = 0;
    }

private:
    void storeWord(std::uint32_t word) {
        const std::size_t at = out_.size();
        out_.resize(at + 4);
        storeLe32(&out_[at], word);
    }

    std::vector<std::uint8_t>& out_;
    std::uint64_t pending_ = 0;  // the low `used_` bits are not yet stored
    unsigned used_ = 0;
};

}  // namespace brindle
