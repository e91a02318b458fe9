// Reads a packed block's bit stream: 32-bit little-endian words, each from
// its most significant bit. The unread bits sit left-aligned in a buffer as
// wide as a register, so that taking a code is a pair of single-instruction
// shifts; the buffer is topped up half its width at a time. A 64-bit buffer
// takes whole words; a 32-bit one (i686) takes half-words, a word's high half
// first, and splits the rare takes wider than 16 bits in two. Past the
// block's end it is topped up with zero bits, which end every code soon (a
// zero bit closes a gamma code or a literal run, and twelve zero bits are the
// end code); whether any of them were taken is asked once, at the end, rather
// than after every code. A block too large to hold is read through a buffer
// that a feed fills again each time its words run out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "package/block_stream.h"
#include "package/packed_block.h"

namespace brindle {

// A block's words read through a buffer from its source.
class BitFeed {
public:
    // `buffer` holds `capacity` bytes (at least 8), the first `filled` of
    // them the block's first bytes.
    BitFeed(BlockSource& source, std::uint8_t* buffer, std::size_t capacity, std::size_t filled)
        : source_(source), buffer_(buffer), capacity_(capacity), filled_(filled) {}

    const std::uint8_t* words() const { return buffer_; }

    // Fills the buffer again once the words up to `wordsEnd` are all read,
    // the bytes of the word begun behind them carried to its front; the end
    // of the whole words it then holds (the buffer itself when the block has
    // ended). Rare, so kept out of line.
    const std::uint8_t* refill(const std::uint8_t* wordsEnd);

private:
    BlockSource& source_;
    std::uint8_t* buffer_;
    std::size_t capacity_;
    std::size_t filled_;
    bool drained_ = false;
};

// What up to four value/continue pairs of a gamma code give, packed in one
// byte so that a step is a single load: the value bits in order (low four),
// how many pairs were taken (next three) and whether the code ended there
// (top bit).
inline constexpr unsigned kGammaPairsShift = 4;
inline constexpr unsigned kGammaEnded = 0x80;

constexpr std::array<std::uint8_t, 256> makeGammaSteps() {
    std::array<std::uint8_t, 256> steps{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        unsigned bits = 0;
        unsigned pairs = 0;
        bool ended = false;
        while (pairs < 4 && !ended) {
            const unsigned shift = 6 - 2 * pairs;
            bits = bits << 1 | ((byte >> (shift + 1)) & 1);
            ended = ((byte >> shift) & 1) == 0;
            ++pairs;
        }
        steps[byte] = std::uint8_t(bits | pairs << kGammaPairsShift | (ended ? kGammaEnded : 0));
    }
    return steps;
}

inline constexpr std::array<std::uint8_t, 256> kGammaSteps = makeGammaSteps();

template <typename Buffer>
class BitReader {
    static_assert(std::is_same_v<Buffer, std::uint32_t> || std::is_same_v<Buffer, std::uint64_t>);
    static constexpr unsigned kBufferBits = 8 * sizeof(Buffer);
    static constexpr unsigned kUnitBits = kBufferBits / 2;

public:
    BitReader(const std::uint8_t* words, std::size_t wordCount)
        : words_(words), next_(words), end_(words + 4 * wordCount) {}
    // Reads the block through `feed`, which it fills first.
    explicit BitReader(BitFeed& feed) : words_(feed.words()), next_(words_), end_(words_), feed_(&feed) {}

    // Takes n bits (1 to 32), the first one taken being the most significant.
    [[gnu::always_inline]] std::uint32_t take(unsigned n) {
        if constexpr (kUnitBits < 32) {
            if (n > kUnitBits) return takeWide(n);
        }
        return takeWithin(n);
    }

    std::uint32_t bit() { return take(1); }

    // Gamma code: value/continue bit pairs, starting from 1. Up to four pairs
    // are taken at once through a table. A value of 2^32 or more cannot be
    // held and fails the stream; smaller ones too large for the block are
    // refused by the copy's bound checks.
    [[gnu::always_inline]] std::uint32_t gamma() {
        std::uint32_t value = 1;
        for (;;) {
            if (count_ < 8) addUnit();
            const unsigned step = kGammaSteps[bits_ >> (kBufferBits - 8)];
            const unsigned pairs = (step >> kGammaPairsShift) & 7;
            value = value << pairs | (step & 15);
            bits_ <<= 2 * pairs;
            count_ -= 2 * pairs;
            if (step & kGammaEnded) return value;
            if (value >= 0x08000000u) return gammaSlow(value);
        }
    }

    // Tops the buffer up by one unit when it has room for one, so that it
    // then holds more than half its width.
    void refill() {
        if (count_ <= kBufferBits - kUnitBits) addUnit();
    }

    // The next n bits (1 to 16) without taking them, and taking them: after
    // a refill the buffer holds more than half its width, enough for both.
    std::uint32_t peek(unsigned n) const { return std::uint32_t(bits_ >> (kBufferBits - n)); }
    void skip(unsigned n) {
        bits_ <<= n;
        count_ -= n;
    }

    // Whether the stream took bits past the block's end or held a gamma code
    // too large to represent; either fails it.
    bool overrun() const { return padding_ > count_ || broken_; }

    // The fast path for literals: takes n bits (at most 9) when the first of
    // them is set; false leaves the buffer alone. The buffer is topped up only
    // when it runs short.
    bool takeFlagged(unsigned n, std::uint32_t& value) {
        if (count_ < n) addUnit();
        const std::uint32_t top = std::uint32_t(bits_ >> (kBufferBits - 32));
        if (!(top >> 31)) return false;
        value = top >> (32 - n);
        bits_ <<= n;
        count_ -= n;
        return true;
    }

private:
    // The rest of take: n is at most what one top-up guarantees.
    [[gnu::always_inline]] std::uint32_t takeWithin(unsigned n) {
        if (count_ < n) addUnit();
        const std::uint32_t value = std::uint32_t(bits_ >> (kBufferBits - n));
        bits_ <<= n;
        count_ -= n;
        return value;
    }

    // Index fields wider than a unit, in two takes.
    [[gnu::always_inline]] std::uint32_t takeWide(unsigned n) {
        const std::uint32_t high = takeWithin(n - kUnitBits);
        return high << kUnitBits | takeWithin(kUnitBits);
    }

    // The rest of a gamma code one pair at a time, for values too large for
    // the table. A value that cannot be held marks the stream broken, which
    // fails it at its end, and gives 1.
    [[gnu::always_inline]] std::uint32_t gammaSlow(std::uint32_t value) {
        do {
            if (value >= 0x80000000u) {
                broken_ = true;
                return 1;
            }
            value = 2 * value + bit();
        } while (bit());
        return value;
    }

    // One unit more; the caller has made sure there is room for it.
    void addUnit() {
        if (next_ < end_ || refilled()) {
            bits_ |= Buffer(loadUnit()) << (kBufferBits - kUnitBits - count_);
            next_ += kUnitBits / 8;
        } else {
            padding_ += kUnitBits;
        }
        count_ += kUnitBits;
    }

    // Whether a feed had further words once the buffer's ran out.
    bool refilled() {
        if (feed_ == nullptr) return false;
        end_ = feed_->refill(end_);
        words_ = next_ = feed_->words();
        return next_ < end_;
    }

    std::uint32_t loadUnit() const {
        if constexpr (kUnitBits == 32) {
            return loadLe32(next_);
        } else {
            // A word's high half (bytes 2 and 3) comes before its low half.
            const std::uint8_t* half = words_ + (std::size_t(next_ - words_) ^ 2);
            return std::uint32_t(half[0] | half[1] << 8);
        }
    }

    const std::uint8_t* words_;
    const std::uint8_t* next_;
    const std::uint8_t* end_;
    Buffer bits_ = 0;
    unsigned count_ = 0;
    unsigned padding_ = 0;  // zero bits added past the end, the latest in the buffer
    bool broken_ = false;
    BitFeed* feed_ = nullptr;  // none: the block is all in memory
};

}  // namespace brindle
