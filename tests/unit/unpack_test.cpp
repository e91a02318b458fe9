#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/block_checksum.h"
#include "package/packed_block.h"
#include "package/unpack.h"

namespace brindle {
namespace {

// Writes codes bit by bit, the way the format lays them out, so that streams
// can be built by hand independently of the encoder.
class Stream {
public:
    Stream& bits(std::uint32_t value, unsigned count) {
        while (count--) bits_.push_back((value >> count) & 1);
        return *this;
    }
    Stream& gamma(std::uint32_t value) {
        int top = 31;
        while (!(value >> top)) --top;
        for (int bit = top - 1; bit >= 0; --bit) bits((value >> bit) & 1, 1).bits(bit > 0, 1);
        return *this;
    }
    Stream& width8() { return bits(0b001, 3).bits(0, 4).bits(0, 1).bits(1, 1); }
    Stream& width7(std::uint8_t base) { return bits(0b001, 3).bits(0, 4).bits(0, 1).bits(0, 1).bits(base, 8); }
    Stream& literal(std::uint8_t value, unsigned width = 8) { return bits(1, 1).bits(value, width); }
    Stream& shortMatch(unsigned offset, unsigned length) { return bits(0, 3).bits(offset, 7).bits(length - 2, 2); }
    Stream& longMatch(std::uint32_t high, std::uint32_t low, unsigned width, std::uint32_t n) {
        return bits(0b01, 2).gamma(high).bits(low, width).gamma(n);
    }
    Stream& repeat(std::uint32_t n) { return bits(0b01, 2).gamma(2).gamma(n); }
    Stream& indexWidth(unsigned width, unsigned sizeCode) {
        return bits(0, 3).bits(0, 7).bits(sizeCode, 2).bits(width, sizeCode + 3);
    }
    Stream& end() { return bits(0, 3).bits(0, 7).bits(0, 2); }

    // The whole block; `checksum` true puts the checksum of `expected` in.
    std::vector<std::uint8_t> block(std::uint32_t size, std::uint32_t checksum = 0) const {
        std::vector<std::uint8_t> out(kPackedHeaderSize);
        out[0] = 'J';
        out[1] = 'C';
        storeLe32(&out[2], size);
        storeLe32(&out[6], checksum);
        for (std::size_t at = 0; at < bits_.size(); at += 32) {
            std::uint32_t word = 0;
            for (std::size_t i = 0; i < 32; ++i) word = word << 1 | (at + i < bits_.size() ? bits_[at + i] : 0);
            out.resize(out.size() + 4);
            storeLe32(&out[out.size() - 4], word);
        }
        return out;
    }

private:
    std::vector<int> bits_;
};

struct Result {
    bool sound;
    std::uint32_t count;
    std::string bytes;
};

Result run(const std::vector<std::uint8_t>& block, std::size_t capacity) {
    std::vector<std::uint8_t> out(capacity + 1, 0xEE);
    std::uint32_t count = 0xFFFFFFFF;
    const bool sound = unpack(block.data(), block.size(), out.data(), capacity, count);
    EXPECT_EQ(out[capacity], 0xEE) << "wrote past the capacity";
    EXPECT_TRUE(sound || count == 0) << "a refused block reports bytes";
    return {sound, count, std::string(out.begin(), out.begin() + count)};
}

std::uint32_t checksumOf(const std::string& text) {
    return blockChecksum(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(Unpack, DocumentedSingleLiteralBlock) {
    const std::vector<std::uint8_t> block = {0x4A, 0x43, 0x01, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x40, 0xD0, 0x20};
    const Result result = run(block, 1);
    EXPECT_EQ(result.count, 1u);
    EXPECT_EQ(result.bytes, "A");
}

TEST(Unpack, EndCodeOnlyGivesNothing) {
    const Result empty = run(Stream().end().block(0), 0);
    EXPECT_TRUE(empty.sound);
    EXPECT_EQ(empty.count, 0u);
}

TEST(Unpack, MatchesRepeatRecentBytes) {
    // Offset 1 repeats the last byte; offset 2 with length 5 repeats a pair.
    const Result result = run(Stream().width8().literal('a').shortMatch(1, 5).literal('b').shortMatch(2, 5).end()
                                  .block(12), 12);
    EXPECT_EQ(result.bytes, "aaaaaabababa");
}

TEST(Unpack, LongMatchOffsetsAndLengthBonus) {
    std::string expected;
    Stream stream;
    stream.width8();
    for (int i = 0; i < 200; ++i) {
        stream.literal(std::uint8_t(i));
        expected += char(i);
    }
    // High part 3 carries only the plain 8 low bits. Offset 100 is below 128:
    // length 2 + 4. Offset 200 gets no bonus.
    stream.longMatch(3, 100, 8, 2).longMatch(3, 200, 8, 2);
    expected += expected.substr(100, 6);
    expected += expected.substr(206 - 200, 2);
    const Result result = run(stream.end().block(std::uint32_t(expected.size())), expected.size());
    EXPECT_EQ(result.bytes, expected);
}

TEST(Unpack, IndexWidthAppliesToLaterMatches) {
    std::string expected;
    Stream stream;
    stream.width8();
    for (int i = 0; i < 40; ++i) {
        stream.literal(std::uint8_t('0' + i));
        expected += char('0' + i);
    }
    // Width 4: high 4 gives (1 << 4) | 3 = 19, below 128 so 2 + 4 bytes.
    stream.indexWidth(4, 1).longMatch(4, 3, 4, 2);
    expected += expected.substr(expected.size() - 19, 6);
    const Result result = run(stream.end().block(std::uint32_t(expected.size())), expected.size());
    EXPECT_EQ(result.bytes, expected);
}

TEST(Unpack, RepeatedOffsetFollowsTheLastMatch) {
    const Result result =
        run(Stream().width8().literal('x').literal('y').literal('z').shortMatch(3, 2).literal('-').repeat(3).end()
                .block(9), 9);
    // The repeat copies from 3 back again: "xyzxy-" + "xy-".
    EXPECT_EQ(result.bytes, "xyzxy-xy-");
}

TEST(Unpack, OneByteCopiesAndZeroBytes) {
    const Result result = run(Stream().width8().literal('p').literal('q').bits(0b001, 3).bits(3, 4)  // offset 2
                                  .bits(0b001, 3).bits(1, 4)                                           // zero
                                  .end().block(4), 4);
    EXPECT_EQ(result.bytes, std::string("pqp\0", 4));
}

TEST(Unpack, SevenBitLiteralsAddTheirBase) {
    const Result result = run(Stream().width7(10).literal(65, 7).end().block(1), 1);
    EXPECT_EQ(result.bytes, "K");  // 65 + 10
}

TEST(Unpack, RawRunsOf256Bytes) {
    std::string expected;
    Stream stream;
    stream.bits(0b001, 3).bits(0, 4).bits(1, 1);
    for (int run = 0; run < 2; ++run) {
        for (int i = 0; i < 256; ++i) {
            stream.bits(std::uint8_t(i * 7 + run), 8);
            expected += char(i * 7 + run);
        }
        stream.bits(run == 0, 1);  // another 256 after the first
    }
    const Result result = run(stream.end().block(512), 512);
    EXPECT_EQ(result.bytes, expected);
}

TEST(Unpack, ChecksumIsVerified) {
    const Stream stream = Stream().width8().literal('a').literal('b').literal('c').literal('d').end();
    EXPECT_EQ(run(stream.block(4, checksumOf("abcd")), 4).count, 4u);
    EXPECT_FALSE(run(stream.block(4, checksumOf("abcd") ^ 1), 4).sound);
    // Fewer than four bytes with a non-zero field always fail.
    EXPECT_FALSE(run(Stream().width8().literal('a').end().block(1, 5), 1).sound);
}

TEST(Unpack, RefusesUnsoundBlocks) {
    std::vector<std::uint8_t> badMagic = Stream().width8().literal('a').end().block(1);
    badMagic[1] = 'X';
    EXPECT_FALSE(run(badMagic, 1).sound);
    // Header size beyond what the caller can take.
    EXPECT_FALSE(run(Stream().width8().literal('a').end().block(1), 0).sound);
    // Copying from before the start of the output.
    EXPECT_FALSE(run(Stream().width8().literal('a').shortMatch(2, 2).end().block(3), 3).sound);
    // Writing more than the header states, even with room in the buffer.
    EXPECT_FALSE(run(Stream().width8().literal('a').shortMatch(1, 5).end().block(3), 16).sound);
    // Writing fewer.
    EXPECT_FALSE(run(Stream().width8().literal('a').end().block(2), 2).sound);
    // A literal before any literal-width code.
    EXPECT_FALSE(run(Stream().literal('a').end().block(1), 1).sound);
    // The stream ends without an end code: the reader would run past the block.
    EXPECT_FALSE(run(Stream().width8().literal('a').literal('b').block(2), 2).sound);
    // A one-byte copy reaching before the start.
    EXPECT_FALSE(run(Stream().width8().literal('a').bits(0b001, 3).bits(5, 4).end().block(2), 2).sound);
}

TEST(Unpack, RefusesNullAndShortInput) {
    const std::vector<std::uint8_t> block = Stream().width8().literal('a').end().block(1);
    std::uint8_t out[4];
    std::uint32_t written = 0;
    EXPECT_FALSE(unpack(nullptr, block.size(), out, sizeof out, written));
    EXPECT_FALSE(unpack(block.data(), block.size(), nullptr, 4, written));
    EXPECT_FALSE(unpack(block.data(), 9, out, sizeof out, written));
    // A block cut inside its stream.
    EXPECT_FALSE(unpack(block.data(), block.size() - 4, out, sizeof out, written));
}

}  // namespace
}  // namespace brindle
