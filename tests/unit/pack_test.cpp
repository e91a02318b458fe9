// The encoder: every input must come back through unpack() unchanged under a
// header that describes it, and each tool of the format must be used where it
// pays, which a census of the codes in the stream shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "package/block_checksum.h"
#include "package/pack.h"
#include "package/match_finder.h"
#include "package/packed_block.h"
#include "package/unpack.h"
#include "temp_folder.h"

namespace brindle {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Packs `data`, checks the header and that unpack() gives `data` back;
// returns the block.
Bytes expectRoundTrip(const Bytes& data) {
    const Bytes block = pack(data.data(), data.size());
    std::uint32_t size = 0;
    EXPECT_TRUE(packedBlockSize(block.data(), block.size(), &size));
    EXPECT_EQ(size, data.size());
    if (block.size() < kPackedHeaderSize) return block;
    EXPECT_EQ(loadLe32(&block[6]), blockChecksum(data.data(), data.size()));
    EXPECT_EQ((block.size() - kPackedHeaderSize) % 4, 0u) << "the stream is whole words";
    Bytes out(data.size() + 1, 0xEE);
    std::uint32_t count = 0;
    EXPECT_TRUE(unpack(block.data(), block.size(), out.data(), data.size(), count));
    out.resize(count);
    EXPECT_TRUE(out == data) << "round trip of " << data.size() << " bytes differs";
    return block;
}

// How often each code occurs in a block, read independently of the decoder.
// kFarMatch: long matches from 64 KiB back or more; kRunSplit: one-byte codes
// and two-byte matches between two literals, which save the decoder's literal
// loop fewer bits than its two extra dispatches cost.
enum Code { kNarrowLiteral, kWideLiteral, kShortMatch, kLongMatch, kFarMatch, kRepeat, kOneByteCopy, kZeroByte,
            kRawRun, kIndexWidthCode, kRunSplit, kCodeKinds };
using Census = std::array<std::size_t, kCodeKinds>;

class BitCursor {
public:
    explicit BitCursor(const Bytes& block) : block_(block) {}
    std::uint32_t take(unsigned count) {
        std::uint32_t value = 0;
        for (; count > 0 && !overrun(); --count, ++at_) {
            value = value << 1 | ((loadLe32(&block_[kPackedHeaderSize + 4 * (at_ / 32)]) >> (31 - at_ % 32)) & 1);
        }
        return value;
    }
    std::uint32_t gamma() {
        std::uint32_t value = 1;
        do value = 2 * value + take(1);
        while (take(1));
        return value;
    }
    bool overrun() const { return kPackedHeaderSize + 4 * (at_ / 32) + 4 > block_.size(); }

private:
    const Bytes& block_;
    std::size_t at_ = 0;
};

Census takeCensus(const Bytes& block) {
    Census census{};
    BitCursor in(block);
    unsigned indexWidth = 8;
    unsigned literalWidth = 8;
    bool afterLiteral = false;
    bool afterSmallCodeAfterLiteral = false;
    while (!in.overrun()) {
        const bool literal = in.take(1);
        bool smallCode = false;  // a one-byte code or a two-byte match
        if (literal) {
            in.take(literalWidth);
            ++census[literalWidth == 7 ? kNarrowLiteral : kWideLiteral];
            if (afterSmallCodeAfterLiteral) ++census[kRunSplit];
        } else if (in.take(1)) {
            const std::uint32_t high = in.gamma();
            if (high == 2) {
                ++census[kRepeat];
            } else {
                const std::uint64_t offset = std::uint64_t(high - 3) << indexWidth | in.take(indexWidth);
                ++census[offset >= 65536 ? kFarMatch : kLongMatch];
            }
            in.gamma();
        } else if (!in.take(1)) {
            const std::uint32_t offset = in.take(7);
            const std::uint32_t extra = in.take(2);
            if (offset != 0) {
                ++census[kShortMatch];
                smallCode = extra == 0;
            } else if (extra == 0) {
                return census;  // the end code
            } else {
                indexWidth = in.take(extra + 3);
                ++census[kIndexWidthCode];
            }
        } else {
            const std::uint32_t nibble = in.take(4);
            if (nibble >= 1) {
                ++census[nibble == 1 ? kZeroByte : kOneByteCopy];
                smallCode = true;
            } else if (in.take(1)) {
                ++census[kRawRun];
                do in.take(256 * 8);
                while (in.take(1));
            } else {
                literalWidth = 7 + in.take(1);
                if (literalWidth == 7) in.take(8);
            }
        }
        afterSmallCodeAfterLiteral = smallCode && afterLiteral;
        afterLiteral = literal;
    }
    ADD_FAILURE() << "no end code";
    return census;
}

Bytes randomBytes(std::size_t length, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(length);
    for (auto& byte : bytes) byte = std::uint8_t(random());
    return bytes;
}

// Words drawn from a small vocabulary with punctuation, like prose.
Bytes proseText(std::size_t length, std::uint32_t seed) {
    static const char* const words[] = {"the", "installer", "extracts", "files", "into", "a", "folder", "of",
                                        "your", "choice", "and", "checks", "each", "block", "before", "it",
                                        "writes", "anything", "license", "terms", "apply", "to", "software"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < length) {
        text += words[random() % std::size(words)];
        const unsigned mark = random() % 16;
        text += mark == 0 ? ".\n" : mark == 1 ? ", " : " ";
    }
    text.resize(length);
    return Bytes(text.begin(), text.end());
}

Bytes repeated(const Bytes& pattern, std::size_t length) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = pattern[i % pattern.size()];
    return bytes;
}

TEST(Pack, RoundTripsSmallInputsAndRawRunEdges) {
    EXPECT_EQ(expectRoundTrip({}).size(), kPackedHeaderSize + 4) << "header and end code";
    for (const int byte : {0x00, 0x01, 0x7F, 0x80, 0xFF}) expectRoundTrip(Bytes{std::uint8_t(byte)});
    for (std::size_t length = 1; length <= 24; ++length) {
        expectRoundTrip(randomBytes(length, std::uint32_t(length)));
        expectRoundTrip(proseText(length, std::uint32_t(length)));
        expectRoundTrip(Bytes(length, 0));
        expectRoundTrip(Bytes(length, 0xFF));
    }
    for (const std::size_t length : {255u, 256u, 257u, 511u, 512u, 513u, 767u, 768u, 4097u}) {
        expectRoundTrip(randomBytes(length, std::uint32_t(length)));
        // Random bytes after a match, so that a literal run starts mid-stream.
        Bytes data = repeated({1, 2, 3, 4, 5, 6}, 100);
        const Bytes tail = randomBytes(length, 9);
        data.insert(data.end(), tail.begin(), tail.end());
        expectRoundTrip(data);
    }
}

struct Case {
    const char* name;
    Bytes data;
    std::size_t largestBlock;
    std::function<void(const Census&)> expectCodes;
};

std::vector<Case> cases() {
    Bytes mixed;
    for (std::uint32_t part = 0; part < 8; ++part) {
        const Bytes piece = part % 2 ? randomBytes(3000, part) : proseText(20000, part);
        mixed.insert(mixed.end(), piece.begin(), piece.end());
    }
    // Records that differ in one field: each is the one before with a hole.
    Bytes records;
    for (std::uint32_t record = 0; record < 20000; ++record) {
        const std::string text = "entry name=\"file\" size=";
        records.insert(records.end(), text.begin(), text.end());
        records.push_back(std::uint8_t('0' + record % 10));
        records.push_back(std::uint8_t('0' + record / 10 % 10));
        records.push_back(std::uint8_t(record * 7919 >> 3));
        records.push_back('\n');
    }
    // A dictionary of random 24-byte words, then words drawn from it: most
    // matches reach far back, where a wider index writes offsets in fewer bits.
    const Bytes dictionary = randomBytes(24 * 20000, 6);
    std::mt19937 random(7);
    Bytes words = dictionary;
    while (words.size() < 1200000) {
        const std::size_t word = random() % 20000;
        words.insert(words.end(), dictionary.begin() + 24 * word, dictionary.begin() + 24 * (word + 1));
    }
    Bytes self = test::readBytes("/proc/self/exe");
    self.resize(std::min<std::size_t>(self.size(), 400000));
    EXPECT_GT(self.size(), 100000u);
    const auto none = [](const Census&) {};
    return {
        // Raw runs cost 2057 bits per 256 bytes; 9-bit literals would cost 12.5 % more.
        {"random", randomBytes(300000, 3), 300000 + 300000 / 200 + 64,
         [](const Census& c) { EXPECT_GT(c[kRawRun], 0u); }},
        {"zeros", Bytes(3 << 20, 0), 256, none},
        {"one byte over and over", repeated({0xAB}, 300000), 64, none},
        {"three bytes over and over", repeated({1, 2, 3}, 300000), 64, none},
        {"seven bytes over and over", repeated({'a', 'b', 'c', 'd', 'e', 'f', 'g'}, 300000), 64, none},
        {"ASCII text", proseText(200000, 4), 200000 / 3,
         [](const Census& c) {
             EXPECT_GT(c[kNarrowLiteral], 0u);
             EXPECT_EQ(c[kWideLiteral], 0u);
             EXPECT_EQ(c[kRunSplit], 0u);
         }},
        {"text and random parts", mixed, mixed.size(),
         [](const Census& c) {
             EXPECT_GT(c[kNarrowLiteral], 0u);
             EXPECT_GT(c[kWideLiteral] + c[kRawRun], 0u);
         }},
        {"this test program", self, self.size() / 2,
         [](const Census& c) {
             EXPECT_GT(c[kZeroByte] + c[kOneByteCopy], 0u);
             EXPECT_GT(c[kShortMatch], 0u);
             EXPECT_GT(c[kRepeat], 0u);
         }},
        {"records reuse the last offset", records, records.size() / 8,
         [](const Census& c) { EXPECT_GT(c[kRepeat], 1000u); }},
        {"far repeats take a wider index", words, dictionary.size() + (words.size() - dictionary.size()) / 4,
         [](const Census& c) {
             EXPECT_GT(c[kFarMatch], 10000u);
             EXPECT_GT(c[kIndexWidthCode], 0u);
         }},
        // Only matches, across every internal boundary the encoder may have.
        {"100 000 random bytes repeated", repeated(randomBytes(100000, 8), 700000), 100000 + 100000 / 50, none},
    };
}

TEST(Pack, UsesTheCodesThatPay) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const Bytes block = expectRoundTrip(c.data);
        EXPECT_LT(block.size(), c.largestBlock);
        c.expectCodes(takeCensus(block));
    }
}

// Segments are packed independently and joined: whatever order they are
// packed in, and wherever a segment boundary falls (inside a repeat, a raw
// run or text), the joined block is the same and unpacks to the data.
TEST(Pack, SegmentsJoinInAnyOrder) {
    const std::vector<Case> all = cases();
    for (const std::size_t caseIndex : {0u, 5u, 8u, 9u, 10u}) {
        const Case& c = all[caseIndex];
        for (const std::size_t segmentLength : {std::size_t(1) << 17, std::size_t(150000)}) {
            SCOPED_TRACE(std::string(c.name) + ", segments of " + std::to_string(segmentLength));
            const std::size_t count = segmentCount(c.data.size(), segmentLength);
            ASSERT_GT(count, 1u);
            std::vector<PackedSegment> forward(count);
            std::vector<PackedSegment> backward(count);
            for (std::size_t i = 0; i < count; ++i) {
                forward[i] = packSegment(c.data.data(), c.data.size(), i, segmentLength);
                backward[count - 1 - i] = packSegment(c.data.data(), c.data.size(), count - 1 - i, segmentLength);
            }
            const Bytes block = joinSegments(c.data.data(), c.data.size(), forward);
            EXPECT_TRUE(block == joinSegments(c.data.data(), c.data.size(), backward));
            Bytes out(c.data.size());
            std::uint32_t count32 = 0;
            EXPECT_TRUE(unpack(block.data(), block.size(), out.data(), out.size(), count32));
            EXPECT_TRUE(count32 == c.data.size() && out == c.data);
            // Each segment sets what it needs: little is lost to the cuts.
            EXPECT_LT(block.size(), c.largestBlock + 64 * count);
        }
    }
}

// No match reaches back as far as the window; one just inside it is found.
TEST(MatchFinder, HonoursTheWindow) {
    const Bytes phrase = randomBytes(200, 11);
    Bytes data = phrase;
    const Bytes gap = randomBytes(5800, 12);
    data.insert(data.end(), gap.begin(), gap.end());
    data.insert(data.end(), phrase.begin(), phrase.end());  // 6000 bytes after the first
    for (const std::uint32_t window : {64u, 4096u, 6000u, 6001u, 1u << 20}) {
        SCOPED_TRACE("window " + std::to_string(window));
        MatchFinder finder(data.data(), 0, data.size(), window);
        Match matches[MatchFinder::kMaxMatches];
        std::uint32_t farthest = 0;
        bool phraseFound = false;
        for (std::size_t position = 0; position < data.size(); ++position) {
            const std::size_t count = finder.find(position, matches);
            for (std::size_t k = 0; k < count; ++k) {
                farthest = std::max(farthest, matches[k].distance);
                phraseFound |= position == 6000 && matches[k].distance == 6000 &&
                               matches[k].length == MatchFinder::kNiceLength;
            }
        }
        EXPECT_LT(farthest, window);
        EXPECT_EQ(phraseFound, window > 6000);
    }
}

}  // namespace
}  // namespace brindle
