// The decoder against blocks made code by code, independently of the encoder
// and including streams it never writes, from memory and as a stream through
// a sliding window, and the checksum blocks carry.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "package/bit_writer.h"
#include "package/block_checksum.h"
#include "package/packed_block.h"
#include "package/unpack.h"
#include "../piece_source.h"

namespace brindle {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t checksumOf(const std::string& text) {
    return blockChecksum(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

class Stream {
public:
    Stream() = default;
    // Literal width 8, then `text` as literals.
    explicit Stream(const std::string& text) { width8().literals(text); }
    Stream(const Stream&) = delete;  // the writer refers to words_

    Stream& put(std::uint64_t value, unsigned count) {  // up to 64 bits
        if (count > 32) writer_.put(std::uint32_t(value >> 32), count - 32);
        writer_.put(std::uint32_t(value), std::min(count, 32u));
        return *this;
    }
    // Any value of at least 2, also those wider than 32 bits.
    Stream& gamma(std::uint64_t value) {
        for (int bit = std::bit_width(value) - 2; bit >= 0; --bit) put((value >> bit & 1) << 1 | (bit > 0), 2);
        return *this;
    }
    Stream& width8() { return put(0b001'0000'0'1, 9); }
    Stream& width7(std::uint8_t base) { return put(0b001'0000'0'0, 9).put(base, 8); }
    Stream& literal(std::uint8_t value, unsigned width = 8) { return put(1, 1).put(value, width); }
    Stream& literals(const std::string& text) {
        for (const char c : text) literal(std::uint8_t(c));
        return *this;
    }
    Stream& shortMatch(unsigned offset, unsigned length) { return put(0, 3).put(offset, 7).put(length - 2, 2); }
    Stream& byteCode(unsigned nibble) { return put(0b001, 3).put(nibble, 4); }
    Stream& longMatch(std::uint64_t high, std::uint64_t low, unsigned width, std::uint64_t n) {
        return put(0b01, 2).gamma(high).put(low, width).gamma(n);
    }
    Stream& repeat(std::uint64_t n) { return put(0b01, 2).gamma(2).gamma(n); }
    Stream& indexWidth(unsigned width, unsigned fieldBits) {
        return put(0, 3 + 7).put(fieldBits - 3, 2).put(width, fieldBits);
    }
    Stream& end() { return put(0, 3 + 7 + 2); }

    Bytes block(std::uint32_t size, std::uint32_t checksum = 0) {
        writer_.finish();
        Bytes out = {'J', 'C', 0, 0, 0, 0, 0, 0, 0, 0};
        storeLe32(&out[2], size);
        storeLe32(&out[6], checksum);
        out.insert(out.end(), words_.begin(), words_.end());
        return out;
    }

private:
    Bytes words_;
    BitWriter writer_{words_};
};

std::string ascending(int count) {
    std::string text(std::size_t(count), '\0');
    std::iota(text.begin(), text.end(), '\0');
    return text;
}

struct Case {
    const char* name;
    Bytes block;
    std::size_t capacity;
    std::optional<std::string> expected;  // none: refused
    std::size_t cut = 0;                  // bytes of the block not handed over
};

std::vector<Case> cases() {
    const std::string a200 = ascending(200), a40 = ascending(40), a20 = ascending(20), a8 = ascending(8);
    const std::string longMatches = a200 + a200.substr(100, 6) + a200.substr(6, 2);
    const std::string widened = a40 + a40.substr(40 - 19, 6) + "z";
    std::string raw;
    Stream rawRun;
    rawRun.put(0b001'0000'1, 8);
    for (int i = 0; i < 512; ++i) {
        raw += char(i * 7 + i / 256);
        rawRun.put(std::uint8_t(raw.back()), 8);
        if (i % 256 == 255) rawRun.put(i < 256, 1);  // whether another 256 follow
    }
    Bytes badMagic = Stream("a").end().block(1);
    badMagic[1] = 'X';
    const Bytes oneLiteral = Stream("a").end().block(1);
    return {
        {"documented single literal", {0x4A, 0x43, 0x01, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x40, 0xD0, 0x20}, 1, "A"},
        {"end code only", Stream().end().block(0), 0, ""},
        {"offset 1 repeats a byte, offset 2 a pair",
         Stream("a").shortMatch(1, 5).literal('b').shortMatch(2, 5).end().block(12), 12, "aaaaaabababa"},
        {"high part 3 is the low bits alone; bonus 4 below offset 128, none at 200",
         Stream(a200).longMatch(3, 100, 8, 2).longMatch(3, 200, 8, 2).end().block(208), 208, longMatches},
        {"index width 4 applies to the next long match: (1 << 4) | 3",
         Stream(a40).indexWidth(4, 4).longMatch(4, 3, 4, 2).literal('z').end().block(47), 47, widened},
        {"index width 40: all 40 low bits read",
         Stream(a40).indexWidth(40, 6).longMatch(3, 19, 40, 2).literal('z').end().block(47), 47, widened},
        {"index width 32: no far part, all 32 low bits read",
         Stream(a40).indexWidth(32, 6).longMatch(3, 19, 32, 2).literal('z').end().block(47), 47, widened},
        {"index width 0: the offset is the high part alone, 8 - 3",
         Stream(a8).indexWidth(0, 4).longMatch(8, 0, 0, 2).end().block(14), 14, a8 + "\3\4\5\6\7\3"},
        {"a repeat copies from the last offset",
         Stream("xyz").shortMatch(3, 2).literal('-').repeat(3).end().block(9), 9, "xyzxy-xy-"},
        {"far copy overlapping itself, whole chunks past 32 bytes with output to follow",
         Stream(a8).longMatch(3, 8, 8, 36).literals(a40).end().block(88), 88,
         a8 + a8 + a8 + a8 + a8 + a8 + a40},
        {"far copy ending at the stated size, more room offered", Stream(a20).shortMatch(16, 5).end().block(25), 40,
         a20 + a20.substr(4, 5)},
        {"near copy with room behind it", Stream(a8).shortMatch(3, 5).literals("0123456789").end().block(23), 23,
         a8 + "\5\6\7\5\6" + "0123456789"},
        {"one-byte copy from 14 back", Stream(a20).byteCode(15).end().block(21), 21, a20 + a20.substr(6, 1)},
        {"one-byte copy from 2 back, zero byte",
         Stream("pq").byteCode(3).byteCode(1).end().block(4), 4, std::string("pqp\0", 4)},
        {"7-bit literals add their base", Stream().width7(10).literal(65, 7).end().block(1), 1, "K"},
        {"raw runs of 256 bytes", rawRun.end().block(512), 512, raw},
        {"checksum matches", Stream("abcd").end().block(4, checksumOf("abcd")), 4, "abcd"},
        {"checksum field 0 is not checked", Stream("abcd").end().block(4, 0), 4, "abcd"},

        {"checksum differs", Stream("abcd").end().block(4, checksumOf("abcd") ^ 1), 4, {}},
        {"under four bytes with a checksum", Stream("a").end().block(1, 5), 1, {}},
        {"no magic", badMagic, 1, {}},
        {"header size beyond the capacity", Stream("a").end().block(1), 0, {}},
        {"header cut", oneLiteral, 4, {}, oneLiteral.size() - 9},
        {"stream cut", oneLiteral, 4, {}, 4},
        {"no end code", Stream("ab").block(2), 2, {}},
        {"literal before a width code", Stream().literal('a').end().block(1), 1, {}},
        {"more bytes than the header states", Stream("a").shortMatch(1, 5).end().block(3), 16, {}},
        {"more literals than the header states", Stream("abc").end().block(2), 16, {}},
        {"one-byte copy past the stated size", Stream("ab").byteCode(3).end().block(2), 16, {}},
        {"far copy past the stated size", Stream(a20).shortMatch(16, 5).end().block(24), 40, {}},
        {"fewer bytes than the header states", Stream("a").end().block(2), 2, {}},
        {"short match before the start", Stream("a").shortMatch(2, 2).end().block(3), 3, {}},
        {"one-byte copy before the start", Stream("a").byteCode(5).end().block(2), 2, {}},
        // Offsets of 2^31 and more, in every way a long match can state one.
        {"offset 2^31 from the high part", Stream("a").longMatch((1u << 23) + 3, 0, 8, 2).end().block(7), 7, {}},
        {"offset 2^39 from a high part of 2^31 + 3", Stream("a").longMatch(0x80000003u, 1, 8, 2).end().block(7), 7, {}},
        {"offset 2^31 at index width 31", Stream("a").indexWidth(31, 5).longMatch(4, 0, 31, 2).end().block(7), 7, {}},
        {"offset 2^32 + 1 in 40 low bits",
         Stream("a").indexWidth(40, 6).longMatch(3, (1ull << 32) + 1, 40, 2).end().block(7), 7, {}},
        {"index width 40 with a high part", Stream("a").indexWidth(40, 6).longMatch(4, 1, 40, 2).end().block(7), 7, {}},
        {"index width 63 with a high part shifted out of 64 bits",
         Stream("a").indexWidth(63, 6).longMatch(5, 1, 63, 2).end().block(7), 7, {}},
        {"high part of 33 bits, 2^32 + 3", Stream("a").longMatch((1ull << 32) + 3, 1, 8, 2).end().block(7), 7, {}},
        // Lengths of 2^31 and more; in 32 bits the last two would wrap to 6 and 3.
        {"repeat of 2^31", Stream("a").repeat(1ull << 31).end().block(7), 7, {}},
        {"repeat of 2^32 - 1", Stream("a").repeat(0xFFFFFFFFu).end().block(7), 7, {}},
        {"repeat of 2^32 + 6", Stream("a").repeat((1ull << 32) + 6).end().block(7), 7, {}},
        {"repeat of 2^32 + 6 with the size a repeat of 1 would give",
         Stream("a").repeat((1ull << 32) + 6).end().block(2), 2, {}},
        {"long match of 2^32 - 1 plus bonus 4", Stream("a").longMatch(3, 1, 8, 0xFFFFFFFFu).end().block(4), 4, {}},
        {"far copy whose length overruns 32 bits, seven bytes before the end",
         Stream(a200).longMatch(3, 200, 8, 1ull << 32).end().block(207), 207, {}},
    };
}

// Each block through both bit buffers: 64 bits as on x86-64 and 32 as on i686.
TEST(Unpack, Blocks) {
    for (const auto decode : {unpackWithBuffer<std::uint64_t>, unpackWithBuffer<std::uint32_t>}) {
        for (const Case& c : cases()) {
            SCOPED_TRACE(c.name);
            SCOPED_TRACE(decode == unpackWithBuffer<std::uint32_t> ? "32-bit buffer" : "64-bit buffer");
            Bytes out(c.capacity + 1, 0xEE);
            std::uint32_t written = 0xFFFFFFFF;
            const bool sound = decode(c.block.data(), c.block.size() - c.cut, out.data(), c.capacity, written);
            EXPECT_EQ(out[c.capacity], 0xEE) << "wrote past the capacity";
            EXPECT_EQ(sound, c.expected.has_value());
            if (!sound) {
                EXPECT_EQ(written, 0u);
            } else if (c.expected) {
                EXPECT_EQ(std::string(out.begin(), out.begin() + written), *c.expected);
            }
        }
    }
}

using test::CollectingSink;

std::string textOf(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The block as the extraction hands it over: its first bytes, then the rest
// from a source in pieces of `piece`.
template <typename BitBuffer>
StreamOutcome streamBlock(const Bytes& block, std::size_t piece, const LzStreamBuffers& buffers, ContentSink& sink) {
    test::PieceSource rest(block.data(), block.size(), piece);
    return streamLzWithBuffer<BitBuffer>(block.data(), std::min(block.size(), kLzmaHeaderSize), rest, sink, buffers);
}

// Every block again through a window that slides after each byte or seven,
// with a reach that every sound block keeps to.
TEST(Unpack, BlocksStreamedThroughASlidingWindow) {
    for (const auto stream : {streamBlock<std::uint64_t>, streamBlock<std::uint32_t>}) {
        for (const std::size_t piece : {1, 7}) {
            for (const Case& c : cases()) {
                std::uint32_t stated = 0;
                if (packedBlockSize(c.block.data(), c.block.size(), &stated) && stated > c.capacity) continue;
                SCOPED_TRACE(c.name);
                SCOPED_TRACE(stream == streamBlock<std::uint32_t> ? "32-bit buffer" : "64-bit buffer");
                SCOPED_TRACE("piece " + std::to_string(piece));
                CollectingSink sink;
                const Bytes block(c.block.begin(), c.block.end() - std::ptrdiff_t(c.cut));
                const StreamOutcome outcome = stream(block, 3, {256, piece, 0}, sink);
                EXPECT_EQ(outcome, c.expected ? StreamOutcome::Done : StreamOutcome::Damaged);
                if (c.expected) {
                    EXPECT_EQ(textOf(sink.bytes), *c.expected);
                }
            }
        }
    }
}

// A stream much longer than the window and the input buffer, in every kind
// of code, made together with the content it stands for.
class LongStream {
public:
    LongStream() { stream_.width8(); }
    void literals(std::size_t count, unsigned seed) {
        for (std::size_t i = 0; i < count; ++i) {
            seed = seed * 1103515245 + 12345;
            stream_.literal(std::uint8_t(seed >> 16));
            content_ += char(seed >> 16);
        }
    }
    void rawRuns(int runs) {
        stream_.put(0b001'0000'1, 8);
        for (int run = 0; run < runs; ++run) {
            for (int i = 0; i < 256; ++i) {
                stream_.put(std::uint8_t(run * 31 + i * 7), 8);
                content_ += char(run * 31 + i * 7);
            }
            stream_.put(run + 1 < runs, 1);
        }
    }
    // A long match of `length` bytes from `distance` back, index width 8.
    void match(std::uint32_t distance, std::uint32_t length) {
        stream_.longMatch(3 + (distance >> 8), distance & 0xFF, 8, length - longMatchBonus(distance));
        for (std::uint32_t i = 0; i < length; ++i) content_ += content_[content_.size() - distance];
    }
    void shortMatch(unsigned distance, unsigned length) {
        stream_.shortMatch(distance, length);
        for (unsigned i = 0; i < length; ++i) content_ += content_[content_.size() - distance];
    }
    Bytes block() {
        stream_.end();
        return stream_.block(std::uint32_t(content_.size()), checksumOf(content_));
    }
    const std::string& content() const { return content_; }

private:
    Stream stream_;
    std::string content_;
};

TEST(Unpack, LongStreamSlidesItsWindowAndKeepsItsReach) {
    constexpr std::size_t kReach = 4096;
    LongStream made;
    made.literals(5000, 1);
    made.rawRuns(9);
    made.match(1, 70000);  // one byte repeated across many slides
    made.literals(300, 2);
    made.match(kReach, 30000);  // as far back as the window keeps, overlapping itself
    for (int i = 0; i < 500; ++i) {
        made.shortMatch(1 + i % 100, 2 + i % 4);
        made.literals(7, unsigned(i));
        made.match(kReach - unsigned(i), 40 + unsigned(i));
    }
    made.rawRuns(3);
    const Bytes block = made.block();
    ASSERT_GT(block.size(), 10u * 1024) << "input longer than the buffer many times";
    for (const auto stream : {streamBlock<std::uint64_t>, streamBlock<std::uint32_t>}) {
        for (const std::size_t piece : {1000, 4096, 65536}) {
            SCOPED_TRACE("piece " + std::to_string(piece));
            CollectingSink sink;
            EXPECT_EQ(stream(block, 333, {kReach, piece, 1024}, sink), StreamOutcome::Done);
            EXPECT_TRUE(textOf(sink.bytes) == made.content());
        }
        CollectingSink nearer;
        EXPECT_EQ(stream(block, 4096, {kReach / 2, kReach / 2 - 1, 1024}, nearer), StreamOutcome::Damaged)
            << "a match beyond what the window holds";
        CollectingSink refusing(50000);
        EXPECT_EQ(stream(block, 4096, {kReach, 1000, 1024}, refusing), StreamOutcome::WriteFailed);
        Bytes changed = block;
        changed[6] ^= 1;
        CollectingSink sink;
        EXPECT_EQ(stream(changed, 4096, {kReach, 1000, 1024}, sink), StreamOutcome::Damaged) << "checksum";
        EXPECT_EQ(sink.bytes.size(), made.content().size()) << "the content came whole before the checksum failed";
    }
}

TEST(Unpack, RefusesNullBuffers) {
    const Bytes block = Stream("a").end().block(1);
    std::uint8_t out[4];
    std::uint32_t written = 0;
    EXPECT_FALSE(unpack(nullptr, block.size(), out, sizeof out, written));
    EXPECT_FALSE(unpack(block.data(), block.size(), nullptr, 4, written));
}

TEST(BlockChecksum, KnownValues) {
    // Under four bytes: 0. Five bytes: the second word is the one at offset 1.
    const std::pair<std::string, std::uint32_t> known[] = {
        {"", 0}, {"abc", 0}, {"abcd", 0xACA5A6A2u}, {"abcde", 0xD8C2CCC1u}};
    for (const auto& [text, sum] : known) EXPECT_EQ(checksumOf(text), sum) << text;
}

TEST(BlockChecksum, TailWordCoversTheLastBytes) {
    Bytes data(3218);
    std::iota(data.begin(), data.end(), 0);
    const std::uint32_t original = blockChecksum(data.data(), data.size());
    // Byte 3217 lies only in the extra word at offset 3214.
    data[3217] ^= 0x40;
    EXPECT_NE(blockChecksum(data.data(), data.size()), original);
    data[3217] ^= 0x40;
    // Bytes past the given length take no part.
    data.push_back(7);
    EXPECT_EQ(blockChecksum(data.data(), 3218), original);
}

}  // namespace
}  // namespace brindle
