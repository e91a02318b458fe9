// The decoder of packed blocks: codes from the bit reader, bytes into the
// output. The output's bounds and a copy's distance are checked where they
// can be broken; the input is never read past its end (the reader feeds zero
// bits there), and a stream that took any of those is refused at its end.
// Any breach fails the block.
#include "package/unpack.h"

#include <cstring>

#include "package/bit_reader.h"
#include "package/block_checksum.h"
#include "package/packed_block.h"

namespace brindle {

namespace {

// Eight bytes from at least eight bytes behind: the two never overlap.
inline void copyChunk(std::uint8_t* to, const std::uint8_t* from) { std::memcpy(to, from, 8); }

// Chunks a long match copies before it asks whether there are more: most
// copies are 32 bytes or less; on i686 a chunk takes four moves, not two, and
// two chunks with a loop beyond them execute fewer instructions.
constexpr unsigned kLongCopyChunks = sizeof(void*) >= 8 ? 4 : 2;

class Output {
public:
    Output(std::uint8_t* start, std::size_t limit) : start_(start), at_(start), end_(start + limit) {}

    bool put(std::uint8_t byte) {
        if (at_ == end_) return false;
        *at_++ = byte;
        return true;
    }

    // Repeats the byte `distance` bytes behind the write position.
    bool repeatByte(std::uint32_t distance) {
        if (distance > std::size_t(at_ - start_) || at_ == end_) return false;
        *at_ = at_[-std::ptrdiff_t(distance)];
        ++at_;
        return true;
    }

    // Copies `length` bytes (at least one) from `distance` bytes behind the
    // write position, byte by byte in effect, so that a distance below the
    // length repeats the latest bytes. Copies of up to `kLeadingChunks`
    // chunks, the most of them, take no loop.
    template <unsigned kLeadingChunks>
    [[gnu::always_inline]] bool copy(std::uint32_t distance, std::uint32_t length) {
        constexpr unsigned kLeadingBytes = 8 * kLeadingChunks;
        // A distance of 0 wraps round to the largest value and is refused too.
        if (distance - 1 >= std::size_t(at_ - start_)) return false;
        const std::size_t room = std::size_t(end_ - at_);
        if (length > room) return false;
        const std::uint8_t* from = at_ - distance;
        std::uint8_t* to = at_;
        at_ += length;
        if (distance >= 8 && room - length >= kLeadingBytes - 1) {
            // Whole chunks, the last ones running up to kLeadingBytes - 1
            // bytes past the copy's end into output not yet written, which
            // later tokens overwrite.
            for (unsigned chunk = 0; chunk < kLeadingChunks; ++chunk) copyChunk(to + 8 * chunk, from + 8 * chunk);
            if (length > kLeadingBytes) {
                to += kLeadingBytes;
                from += kLeadingBytes;
                do {
                    copyChunk(to, from);
                    to += 8;
                    from += 8;
                } while (to < at_);
            }
            return true;
        }
        return copyNearEnd(to, from, distance, length);
    }

    std::size_t written() const { return std::size_t(at_ - start_); }

private:
    // The rest of copy: near distances, and copies too close to the output's
    // end for whole chunks. Kept out of line, so that the hot loop stays small.
    [[gnu::noinline]] static bool copyNearEnd(std::uint8_t* to, const std::uint8_t* from, std::uint32_t distance,
                                              std::uint32_t length) {
        if (distance >= 8) {
            // Eight bytes at a time never read a byte this copy has not yet
            // written; the last chunk is shortened to stay inside the output.
            while (length >= 8) {
                copyChunk(to, from);
                to += 8;
                from += 8;
                length -= 8;
            }
        } else if (distance == 1) {
            std::memset(to, *from, length);
            return true;
        }
        while (length--) *to++ = *from++;
        return true;
    }

    std::uint8_t* start_;
    std::uint8_t* at_;
    std::uint8_t* end_;
};

}  // namespace

bool packedBlockSize(const std::uint8_t* source, std::size_t sourceLength, std::uint32_t* size) {
    if (source == nullptr || sourceLength < kPackedHeaderSize) return false;
    if (source[0] != kPackedMagic0 || source[1] != kPackedMagic1) return false;
    *size = loadLe32(source + 2);
    return true;
}

namespace {

// The width of a long match's low index bits, with the largest high part
// that keeps its offset below 2^31; an offset from there on is beyond any block.
struct IndexWidth {
    explicit IndexWidth(unsigned bits = 8) : width(bits), upperLimit(bits < 32 ? 0x80000000u >> bits : 1) {}
    // 1 to 31 bits: a single take, the high part shifted above it.
    bool common() const { return width - 1 < 31; }

    unsigned width;
    std::uint32_t upperLimit;
};

// Low index bits of 32 and more: sound only when they state an offset below
// 2^31, given in `low`. Inline, so that the reader stays in registers.
template <typename BitBuffer>
[[gnu::always_inline]] inline bool takeFarIndex(BitReader<BitBuffer>& in, unsigned width, std::uint32_t& low) {
    const bool farPartZero = width == 32 || in.take(width - 32) == 0;
    low = in.take(32);
    return farPartZero && low < 0x80000000u;
}

// Takes the literal of `kWidth` bits that `code`, the next twelve bits,
// starts with, and the literals after it while the next code is one; false
// when the output is full.
template <unsigned kWidth, typename BitBuffer>
[[gnu::always_inline]] inline bool takeLiterals(BitReader<BitBuffer>& in, std::uint32_t code, Output& out,
                                                unsigned base) {
    constexpr std::uint32_t kMask = (1u << kWidth) - 1;
    in.skip(1 + kWidth);
    if (!out.put(std::uint8_t(((code >> (11 - kWidth)) & kMask) + base))) return false;
    std::uint32_t flagged;
    while (in.takeFlagged(1 + kWidth, flagged)) {
        if (!out.put(std::uint8_t((flagged & kMask) + base))) return false;
    }
    return true;
}

template <typename BitBuffer>
std::uint32_t decodeBlock(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination,
                          std::size_t capacity, bool& sound) {
    sound = false;
    std::uint32_t unpackedSize = 0;
    if (destination == nullptr || !packedBlockSize(source, sourceLength, &unpackedSize)) return 0;
    if (unpackedSize > capacity) return 0;
    const std::uint32_t expectedChecksum = loadLe32(source + 6);

    BitReader<BitBuffer> in(source + kPackedHeaderSize, (sourceLength - kPackedHeaderSize) / 4);
    Output out(destination, unpackedSize);
    // Offsets are held in 32 bits: one of 2^31 or more is refused as it is
    // read, as beyond any block.
    std::uint32_t lastOffset = 1;
    IndexWidth index;
    unsigned literalWidth = 0;  // 0: no literal-width code seen yet
    unsigned literalBase = 0;

    for (;;) {
        in.refill();
        // A code's first twelve bits at once, its first three picking its
        // kind: 1 a literal, 01 a long match, 000 a short match, the end code
        // or an index width, 001 a one-byte code.
        const std::uint32_t code = in.peek(12);
        switch (code >> 9) {
        case 4: case 5: case 6: case 7:
            // Literals come in runs, of one width or the other.
            if (literalWidth == 7) {
                if (!takeLiterals<7>(in, code, out, literalBase)) return 0;
            } else if (literalWidth == 8) {
                if (!takeLiterals<8>(in, code, out, 0)) return 0;
            } else {
                return 0;  // no width code yet
            }
            continue;
        case 2: case 3: {
            in.skip(2);
            const std::uint32_t high = in.gamma();
            unsigned bonus = 0;
            if (high != 2) {
                std::uint32_t low = 0;
                if (index.common()) {
                    low = in.take(index.width);
                } else if (index.width != 0 && !takeFarIndex(in, index.width, low)) {
                    return 0;
                }
                const std::uint32_t upper = high - 3;
                if (upper >= index.upperLimit) return 0;
                lastOffset = upper << (index.width & 31) | low;
                bonus = longMatchBonus(lastOffset);
            }
            const std::uint32_t length = in.gamma() + bonus;
            if (length < bonus) return 0;  // past 2^32: beyond any block
            if (!out.copy<kLongCopyChunks>(lastOffset, length)) return 0;
            continue;
        }
        case 0: {
            in.skip(12);
            const std::uint32_t offset = (code >> 2) & 0x7F;
            const std::uint32_t extra = code & 3;
            if (offset != 0) {
                lastOffset = offset;
                if (!out.copy<1>(offset, extra + 2)) return 0;
            } else if (extra == 0) {
                break;  // the end code, the only way out of the loop
            } else {
                index = IndexWidth(in.take(extra + 3));
            }
            continue;
        }
        default:
            in.skip(7);
            const std::uint32_t nibble = (code >> 5) & 15;
            if (nibble >= 2) {
                if (!out.repeatByte(nibble - 1)) return 0;
            } else if (nibble == 1) {
                if (!out.put(0)) return 0;
            } else if (in.bit()) {
                do {
                    for (int i = 0; i < 256; ++i) {
                        if (!out.put(std::uint8_t(in.take(8)))) return 0;
                    }
                } while (in.bit());
            } else {
                literalWidth = 7 + in.bit();
                literalBase = literalWidth == 7 ? in.take(8) : 0;
            }
            continue;
        }
        break;
    }
    if (in.overrun() || out.written() != unpackedSize) return 0;
    if (expectedChecksum != 0 && blockChecksum(destination, unpackedSize) != expectedChecksum) return 0;
    sound = true;
    return unpackedSize;
}
}  // namespace

template <typename BitBuffer>
bool unpackWithBuffer(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination,
                      std::size_t capacity, std::uint32_t& written) {
    bool sound = false;
    written = decodeBlock<BitBuffer>(source, sourceLength, destination, capacity, sound);
    if (!sound) written = 0;
    return sound;
}

template bool unpackWithBuffer<std::uint32_t>(const std::uint8_t*, std::size_t, std::uint8_t*, std::size_t,
                                              std::uint32_t&);
template bool unpackWithBuffer<std::uint64_t>(const std::uint8_t*, std::size_t, std::uint8_t*, std::size_t,
                                              std::uint32_t&);

bool unpack(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination, std::size_t capacity,
            std::uint32_t& written) {
    return unpackWithBuffer<RegisterBitBuffer>(source, sourceLength, destination, capacity, written);
}

}  // namespace brindle
