// The encoder: every input must come back through unpack() unchanged, the
// header must describe it, and each tool of the format must be used where it
// pays, which a census of the codes in the stream shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "package/block_checksum.h"
#include "package/pack.h"
#include "package/packed_block.h"
#include "package/unpack.h"

namespace brindle {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes packBytes(const Bytes& data) { return pack(data.data(), data.size()); }

// Packs and unpacks `data`, expecting it back; returns the block.
Bytes expectRoundTrip(const Bytes& data) {
    const Bytes block = packBytes(data);
    Bytes out(data.size() + 1, 0xEE);
    std::uint32_t count = 0;
    EXPECT_TRUE(unpack(block.data(), block.size(), out.data(), data.size(), count));
    EXPECT_EQ(count, data.size());
    out.resize(count);
    EXPECT_TRUE(out == data) << "round trip of " << data.size() << " bytes differs";
    return block;
}

// How often each code occurs in a block, read independently of the decoder.
struct Census {
    std::size_t narrowLiterals = 0;
    std::size_t wideLiterals = 0;
    std::size_t shortMatches = 0;
    std::size_t longMatches = 0;
    std::size_t farMatches = 0;  // long matches at offsets of 64 KiB or more
    std::size_t repeats = 0;
    std::size_t oneByteCopies = 0;
    std::size_t zeroBytes = 0;
    std::size_t rawRuns = 0;
    std::size_t indexWidthCodes = 0;
    bool ended = false;
};

class BitCursor {
public:
    explicit BitCursor(const Bytes& block) : block_(block) {}
    std::uint32_t take(unsigned count) {
        std::uint32_t value = 0;
        while (count--) {
            const std::size_t word = kPackedHeaderSize + 4 * (at_ / 32);
            if (word + 4 > block_.size()) {
                overrun_ = true;
                return 0;
            }
            value = value << 1 | ((loadLe32(&block_[word]) >> (31 - at_ % 32)) & 1);
            ++at_;
        }
        return value;
    }
    std::uint32_t gamma() {
        std::uint32_t value = 1;
        do value = 2 * value + take(1);
        while (take(1) && !overrun_);
        return value;
    }
    bool overrun() const { return overrun_; }

private:
    const Bytes& block_;
    std::size_t at_ = 0;
    bool overrun_ = false;
};

Census takeCensus(const Bytes& block) {
    Census census;
    BitCursor in(block);
    unsigned indexWidth = 8;
    unsigned literalWidth = 8;
    while (!in.overrun()) {
        if (in.take(1)) {
            in.take(literalWidth);
            ++(literalWidth == 7 ? census.narrowLiterals : census.wideLiterals);
        } else if (in.take(1)) {
            const std::uint32_t high = in.gamma();
            if (high == 2) {
                in.gamma();
                ++census.repeats;
            } else {
                const std::uint64_t offset = std::uint64_t(high - 3) << indexWidth | in.take(indexWidth);
                in.gamma();
                ++census.longMatches;
                if (offset >= 65536) ++census.farMatches;
            }
        } else if (!in.take(1)) {
            const std::uint32_t offset = in.take(7);
            const std::uint32_t extra = in.take(2);
            if (offset != 0) {
                ++census.shortMatches;
            } else if (extra == 0) {
                census.ended = true;
                break;
            } else {
                indexWidth = in.take(extra + 3);
                ++census.indexWidthCodes;
            }
        } else {
            const std::uint32_t nibble = in.take(4);
            if (nibble >= 2) {
                ++census.oneByteCopies;
            } else if (nibble == 1) {
                ++census.zeroBytes;
            } else if (in.take(1)) {
                ++census.rawRuns;
                do {
                    for (int i = 0; i < 256; ++i) in.take(8);
                } while (in.take(1) && !in.overrun());
            } else {
                literalWidth = 7 + in.take(1);
                if (literalWidth == 7) in.take(8);
            }
        }
    }
    EXPECT_TRUE(census.ended) << "no end code";
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

// Something like a Windows executable: code with recurring opcodes, tables
// of ascending addresses, zero padding, ASCII and UTF-16 names.
Bytes executableLike(std::size_t length, std::uint32_t seed) {
    std::mt19937 random(seed);
    const std::uint8_t opcodes[] = {0x55, 0x8B, 0xEC, 0x83, 0xC4, 0x89, 0x45, 0xE8, 0xFF, 0x15, 0xC3, 0x5D, 0x90};
    Bytes bytes;
    std::uint32_t address = 0x10001000;
    while (bytes.size() < length) {
        switch (random() % 4) {
            case 0:
                for (int i = 0; i < 200; ++i) bytes.push_back(opcodes[random() % std::size(opcodes)]);
                break;
            case 1:
                for (int i = 0; i < 32; ++i, address += 4 + random() % 64) {
                    for (int b = 0; b < 4; ++b) bytes.push_back(std::uint8_t(address >> (8 * b)));
                }
                break;
            case 2:
                bytes.insert(bytes.end(), random() % 512, 0);
                break;
            default:
                for (const char c : std::string("GetProcAddress\0LoadLibraryW\0", 28)) {
                    bytes.push_back(std::uint8_t(c));
                    if (random() % 2) bytes.push_back(0);
                }
        }
    }
    bytes.resize(length);
    return bytes;
}

Bytes repeated(const Bytes& pattern, std::size_t length) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = pattern[i % pattern.size()];
    return bytes;
}

TEST(Pack, EmptyInputIsHeaderAndEndCode) {
    const Bytes block = packBytes({});
    ASSERT_EQ(block.size(), kPackedHeaderSize + 4);
    std::uint32_t size = 1;
    ASSERT_TRUE(packedBlockSize(block.data(), block.size(), &size));
    EXPECT_EQ(size, 0u);
    EXPECT_TRUE(takeCensus(block).ended);
}

TEST(Pack, HeaderCarriesSizeAndChecksum) {
    for (const Bytes& data : {Bytes{7}, Bytes{1, 2, 3, 4, 5}, proseText(1000, 1), randomBytes(70000, 2)}) {
        const Bytes block = packBytes(data);
        ASSERT_GE(block.size(), kPackedHeaderSize);
        EXPECT_EQ(block[0], 'J');
        EXPECT_EQ(block[1], 'C');
        EXPECT_EQ(loadLe32(&block[2]), data.size());
        EXPECT_EQ(loadLe32(&block[6]), blockChecksum(data.data(), data.size()));
        EXPECT_EQ((block.size() - kPackedHeaderSize) % 4, 0u) << "the stream is whole words";
    }
}

TEST(Pack, RoundTripsSmallInputsOfEveryKind) {
    for (std::size_t length = 1; length <= 24; ++length) {
        expectRoundTrip(randomBytes(length, std::uint32_t(length)));
        expectRoundTrip(proseText(length, std::uint32_t(length)));
        expectRoundTrip(Bytes(length, 0));
        expectRoundTrip(Bytes(length, 0xFF));
    }
    for (const int byte : {0x00, 0x01, 0x7F, 0x80, 0xFF}) expectRoundTrip(Bytes{std::uint8_t(byte)});
}

TEST(Pack, RoundTripsAroundRawRunChunks) {
    for (const std::size_t length : {255u, 256u, 257u, 511u, 512u, 513u, 767u, 768u, 4097u}) {
        expectRoundTrip(randomBytes(length, std::uint32_t(length)));
        // Random bytes after a match, so that a literal run starts mid-stream.
        Bytes data = repeated({1, 2, 3, 4, 5, 6}, 100);
        const Bytes tail = randomBytes(length, 9);
        data.insert(data.end(), tail.begin(), tail.end());
        expectRoundTrip(data);
    }
}

TEST(Pack, RandomDataGrowsOnlyByTheRawRunOverhead) {
    const Bytes data = randomBytes(300000, 3);
    const Bytes block = expectRoundTrip(data);
    // Raw runs cost 2057 bits per 256 bytes; 9-bit literals would cost 12.5 % more.
    EXPECT_LE(block.size(), data.size() + data.size() / 200 + 64);
    EXPECT_GT(takeCensus(block).rawRuns, 0u);
}

TEST(Pack, RunsAndShortPatternsPackToAlmostNothing) {
    EXPECT_LT(expectRoundTrip(Bytes(3 << 20, 0)).size(), 256u);
    for (const Bytes& pattern : {Bytes{0xAB}, Bytes{1, 2, 3}, Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g'}}) {
        const Bytes block = expectRoundTrip(repeated(pattern, 300000));
        EXPECT_LT(block.size(), 64u) << "pattern of " << pattern.size();
    }
}

TEST(Pack, TextTakesNarrowLiterals) {
    const Bytes data = proseText(200000, 4);
    const Bytes block = expectRoundTrip(data);
    const Census census = takeCensus(block);
    EXPECT_GT(census.narrowLiterals, 0u);
    EXPECT_EQ(census.wideLiterals, 0u) << "all of it is ASCII";
    EXPECT_LT(block.size(), data.size() / 3);
}

TEST(Pack, MixedContentSwitchesLiteralWidths) {
    Bytes data;
    for (std::uint32_t part = 0; part < 8; ++part) {
        const Bytes piece = part % 2 ? randomBytes(3000, part) : proseText(20000, part);
        data.insert(data.end(), piece.begin(), piece.end());
    }
    const Census census = takeCensus(expectRoundTrip(data));
    EXPECT_GT(census.narrowLiterals, 0u);
    EXPECT_GT(census.wideLiterals + census.rawRuns, 0u);
}

TEST(Pack, ExecutablesShrink) {
    const Bytes synthetic = executableLike(300000, 5);
    const Bytes block = expectRoundTrip(synthetic);
    EXPECT_LT(block.size(), synthetic.size() / 2);
    const Census census = takeCensus(block);
    EXPECT_GT(census.zeroBytes + census.oneByteCopies, 0u);
    EXPECT_GT(census.shortMatches, 0u);
    EXPECT_GT(census.repeats, 0u);

    // The test program itself, a real executable.
    Bytes self(400000);
    std::FILE* file = std::fopen("/proc/self/exe", "rb");
    ASSERT_NE(file, nullptr);
    self.resize(std::fread(self.data(), 1, self.size(), file));
    std::fclose(file);
    ASSERT_GT(self.size(), 100000u);
    EXPECT_LT(expectRoundTrip(self).size(), self.size() / 2);
}

TEST(Pack, RecordsReuseTheLastOffset) {
    // Records that differ in one field: each is the one before with a hole.
    Bytes data;
    for (std::uint32_t record = 0; record < 20000; ++record) {
        const std::string text = "entry name=\"file\" size=";
        data.insert(data.end(), text.begin(), text.end());
        data.push_back(std::uint8_t('0' + record % 10));
        data.push_back(std::uint8_t('0' + record / 10 % 10));
        data.push_back(std::uint8_t(record * 7919 >> 3));
        data.push_back('\n');
    }
    const Bytes block = expectRoundTrip(data);
    EXPECT_GT(takeCensus(block).repeats, 1000u);
    EXPECT_LT(block.size(), data.size() / 8);
}

TEST(Pack, FarRepeatsUseLongOffsetsAndAWiderIndex) {
    // A dictionary of random 24-byte words, then words drawn from it: most
    // matches reach far back, where a wider index writes offsets in fewer bits.
    const Bytes dictionary = randomBytes(24 * 20000, 6);
    std::mt19937 random(7);
    Bytes data = dictionary;
    while (data.size() < 1200000) {
        const std::size_t word = random() % 20000;
        data.insert(data.end(), dictionary.begin() + 24 * word, dictionary.begin() + 24 * (word + 1));
    }
    const Bytes block = expectRoundTrip(data);
    const Census census = takeCensus(block);
    EXPECT_GT(census.farMatches, 10000u);
    EXPECT_GT(census.indexWidthCodes, 0u);
    EXPECT_LT(block.size(), dictionary.size() + (data.size() - dictionary.size()) / 4);
}

TEST(Pack, MatchesSpanStretchesOfTheBlock) {
    // A 100 000-byte random pattern over 700 000: only matches, across every
    // internal boundary the encoder may have.
    const Bytes data = repeated(randomBytes(100000, 8), 700000);
    EXPECT_LT(expectRoundTrip(data).size(), 100000u + 100000u / 50);
}

}  // namespace
}  // namespace brindle
