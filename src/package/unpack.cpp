// The decoder of packed blocks: codes from the bit reader, bytes into the
// output. The output's bounds and a copy's distance are checked where they
// can be broken; the input is never read past its end (the reader feeds zero
// bits there), and a stream that took any of those is refused at its end.
// Any breach fails the block.
#include "package/unpack.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

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

// The content of a block too large to hold whole, in a window of the
// matches' reach plus a piece: each time the window fills, its new content
// goes to the sink and its last `reach` bytes move to its front, so that
// matches still find them.
class Window {
public:
    // `base` holds min(size, reach + piece) bytes, piece at least 1.
    Window(std::uint8_t* base, std::size_t reach, std::size_t piece, std::uint32_t size, ContentSink& sink)
        : base_(base), capacity_(reach + piece), reach_(reach), size_(size), sink_(sink) {}

    std::uint8_t* base() const { return base_; }
    // Where the window ends for content from `base`, at most the block's end.
    std::uint8_t* end() const { return base_ + std::min<std::uint64_t>(capacity_, size_ - passed_); }
    std::uint64_t total(const std::uint8_t* at) const { return passed_ + std::size_t(at - base_); }

    // Makes room in the full window that ends at `at` and returns the write
    // position after the kept bytes; null at the block's stated end or when
    // the sink refuses. Rare, so kept out of line.
    [[gnu::noinline]] std::uint8_t* slide(std::uint8_t* at) {
        if (total(at) == size_ || !flush(at)) return nullptr;
        const std::size_t dropped = std::size_t(at - base_) - reach_;  // a full window holds more than the reach
        std::memmove(base_, base_ + dropped, reach_);
        passed_ += dropped;
        sent_ = reach_;
        return base_ + reach_;
    }

    // Sends what the sink has not had yet of the window up to `at`.
    bool flush(const std::uint8_t* at) {
        const std::size_t held = std::size_t(at - base_);
        checksum_.add(base_ + sent_, held - sent_);
        refused_ = !sink_.write(base_ + sent_, held - sent_);
        sent_ = held;
        return !refused_;
    }

    bool refused() const { return refused_; }
    std::uint32_t checksum() const { return checksum_.finish(); }

private:
    std::uint8_t* base_;
    std::size_t capacity_;
    std::size_t reach_;
    std::uint64_t size_;
    ContentSink& sink_;
    std::uint64_t passed_ = 0;  // content before the window's first byte
    std::size_t sent_ = 0;      // bytes of the window the sink has had
    bool refused_ = false;
    ChecksumStream checksum_;
};

// Where the codes' bytes go: the whole block's memory, or a window that
// slides when it is full. A copy may reach back as far as the memory or the
// window holds (the window at least its reach).
class Output {
public:
    Output(std::uint8_t* start, std::size_t limit) : start_(start), at_(start), end_(start + limit) {}
    explicit Output(Window& window) : start_(window.base()), at_(start_), end_(window.end()), window_(&window) {}

    bool put(std::uint8_t byte) {
        if (at_ == end_ && !slid()) return false;
        *at_++ = byte;
        return true;
    }

    // Repeats the byte `distance` bytes behind the write position.
    bool repeatByte(std::uint32_t distance) {
        if (at_ == end_ && !slid()) return false;
        if (distance > std::size_t(at_ - start_)) return false;
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
        if (length > room) return copyAcrossEnd(distance, length);
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

    // Bytes in the memory or the window.
    std::size_t written() const { return std::size_t(at_ - start_); }
    std::uint8_t* at() const { return at_; }

private:
    // Room once the output is full: only a window has more.
    bool slid() {
        if (window_ == nullptr) return false;
        at_ = window_->slide(at_);
        end_ = window_->end();
        return at_ != nullptr;
    }

    // A copy longer than the room left: through the window's slides, or
    // refused when there is none.
    bool copyAcrossEnd(std::uint32_t distance, std::uint32_t length) {
        for (;;) {
            const std::size_t part = std::min<std::size_t>(length, std::size_t(end_ - at_));
            copyNearEnd(at_, at_ - distance, distance, part);
            at_ += part;
            length -= std::uint32_t(part);
            if (length == 0) return true;
            if (!slid() || distance > std::size_t(at_ - start_)) return false;
        }
    }

    // The rest of copy: near distances, and copies too close to the output's
    // end for whole chunks. Kept out of line, so that the hot loop stays small.
    [[gnu::noinline]] static bool copyNearEnd(std::uint8_t* to, const std::uint8_t* from, std::uint32_t distance,
                                              std::size_t length) {
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
    Window* window_ = nullptr;
};

}  // namespace

const std::uint8_t* BitFeed::refill(const std::uint8_t* wordsEnd) {
    const std::size_t carried = std::size_t(buffer_ + filled_ - wordsEnd);
    std::memmove(buffer_, wordsEnd, carried);
    filled_ = carried;
    while (filled_ < capacity_ && !drained_) {
        const std::size_t count = source_.read(buffer_ + filled_, capacity_ - filled_);
        filled_ += count;
        drained_ = count == 0;
    }
    return buffer_ + filled_ / 4 * 4;
}

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

// The one decode loop, for blocks in memory and streamed ones alike: the
// codes from `in` into `out` to the end code. The write position after the
// content; null when the stream breaks a bound or overruns its end. Both
// arrive by value, so that their fields stay in registers.
template <typename BitBuffer>
std::uint8_t* decodeCodes(BitReader<BitBuffer> in, Output out) {
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
                if (!takeLiterals<7>(in, code, out, literalBase)) return nullptr;
            } else if (literalWidth == 8) {
                if (!takeLiterals<8>(in, code, out, 0)) return nullptr;
            } else {
                return nullptr;  // no width code yet
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
                    return nullptr;
                }
                const std::uint32_t upper = high - 3;
                if (upper >= index.upperLimit) return nullptr;
                lastOffset = upper << (index.width & 31) | low;
                bonus = longMatchBonus(lastOffset);
            }
            const std::uint32_t length = in.gamma() + bonus;
            if (length < bonus) return nullptr;  // past 2^32: beyond any block
            if (!out.copy<kLongCopyChunks>(lastOffset, length)) return nullptr;
            continue;
        }
        case 0: {
            in.skip(12);
            const std::uint32_t offset = (code >> 2) & 0x7F;
            const std::uint32_t extra = code & 3;
            if (offset != 0) {
                lastOffset = offset;
                if (!out.copy<1>(offset, extra + 2)) return nullptr;
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
                if (!out.repeatByte(nibble - 1)) return nullptr;
            } else if (nibble == 1) {
                if (!out.put(0)) return nullptr;
            } else if (in.bit()) {
                do {
                    for (int i = 0; i < 256; ++i) {
                        if (!out.put(std::uint8_t(in.take(8)))) return nullptr;
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
    return in.overrun() ? nullptr : out.at();
}

template <typename BitBuffer>
std::uint32_t decodeBlock(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination,
                          std::size_t capacity, bool& sound) {
    sound = false;
    std::uint32_t unpackedSize = 0;
    if (destination == nullptr || !packedBlockSize(source, sourceLength, &unpackedSize)) return 0;
    if (unpackedSize > capacity) return 0;
    const std::uint32_t expectedChecksum = loadLe32(source + 6);
    const std::uint8_t* end = decodeCodes(
        BitReader<BitBuffer>(source + kPackedHeaderSize, (sourceLength - kPackedHeaderSize) / 4),
        Output(destination, unpackedSize));
    if (end != destination + unpackedSize) return 0;
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

template <typename BitBuffer>
StreamOutcome streamLzWithBuffer(const std::uint8_t* head, std::size_t headLength, BlockSource& rest,
                                 ContentSink& sink, const LzStreamBuffers& buffers) {
    std::uint32_t size = 0;
    if (!packedBlockSize(head, headLength, &size)) return StreamOutcome::Damaged;
    const std::size_t piece = std::max<std::size_t>(buffers.piece, 1);  // a full window must have room to give
    const std::size_t windowSize = std::min<std::uint64_t>(size, buffers.reach + piece);
    const std::size_t headBits = headLength - kPackedHeaderSize;
    const std::size_t inputSize = std::max<std::size_t>(buffers.input, headBits + 8);
    std::unique_ptr<std::uint8_t[]> window(new (std::nothrow) std::uint8_t[windowSize + 1]);
    std::unique_ptr<std::uint8_t[]> input(new (std::nothrow) std::uint8_t[inputSize]);
    if (!window || !input) return StreamOutcome::NoMemory;

    std::memcpy(input.get(), head + kPackedHeaderSize, headBits);
    BitFeed feed(rest, input.get(), inputSize, headBits);
    Window content(window.get(), buffers.reach, piece, size, sink);
    const std::uint8_t* end = decodeCodes(BitReader<BitBuffer>(feed), Output(content));
    if (content.refused()) return StreamOutcome::WriteFailed;
    if (end == nullptr || content.total(end) != size) return StreamOutcome::Damaged;
    if (!content.flush(end)) return StreamOutcome::WriteFailed;
    const std::uint32_t expectedChecksum = loadLe32(head + 6);
    return expectedChecksum == 0 || content.checksum() == expectedChecksum ? StreamOutcome::Done
                                                                           : StreamOutcome::Damaged;
}

template StreamOutcome streamLzWithBuffer<std::uint32_t>(const std::uint8_t*, std::size_t, BlockSource&,
                                                         ContentSink&, const LzStreamBuffers&);
template StreamOutcome streamLzWithBuffer<std::uint64_t>(const std::uint8_t*, std::size_t, BlockSource&,
                                                         ContentSink&, const LzStreamBuffers&);

StreamOutcome streamLz(const std::uint8_t* head, std::size_t headLength, BlockSource& rest, ContentSink& sink,
                       const LzStreamBuffers& buffers) {
    return streamLzWithBuffer<RegisterBitBuffer>(head, headLength, rest, sink, buffers);
}

}  // namespace brindle
