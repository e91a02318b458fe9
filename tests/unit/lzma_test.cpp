// The LZMA block method: blocks from liblzma's encoder decoded by our
// decoder, from memory and as a stream in pieces of every kind; damaged
// blocks refused; the x86 filter and the streamed checksum against their
// whole-buffer forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "package/block_checksum.h"
#include "package/block_method.h"
#include "package/lzma_decoder.h"
#include "package/lzma_pack.h"
#include "package/x86_filter.h"
#include "../piece_source.h"

namespace brindle {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes randomBytes(std::size_t length, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(length);
    for (std::uint8_t& byte : bytes) byte = std::uint8_t(random());
    return bytes;
}

// Something like machine code: calls and jumps to near targets among text.
Bytes codeLike(std::size_t length) {
    std::mt19937 random(7);
    Bytes bytes;
    const std::string text = "mov eax, [ebp+8]; push esi; ";
    while (bytes.size() < length) {
        bytes.insert(bytes.end(), text.begin(), text.begin() + random() % text.size());
        const std::uint32_t target = random() % 4000 - 2000;
        bytes.push_back(random() % 2 ? 0xE8 : 0xE9);
        for (int i = 0; i < 4; ++i) bytes.push_back(std::uint8_t(target >> 8 * i));
    }
    bytes.resize(length);
    return bytes;
}

// Bytes thick with opcodes and near top bytes, where an opcode left alone
// is often followed within its operand by one that is converted.
Bytes opcodeThick(std::size_t length, unsigned seed) {
    std::mt19937 random(seed);
    const std::uint8_t common[] = {0xE8, 0xE9, 0x00, 0xFF};
    Bytes bytes(length);
    for (std::uint8_t& byte : bytes) byte = random() % 3 ? common[random() % 4] : std::uint8_t(random());
    return bytes;
}

using test::CollectingSink;
using test::PieceSource;

StreamOutcome streamBlock(const Bytes& block, std::size_t piece, ContentSink& sink) {
    LzmaBlockHeader header;
    if (!readLzmaHeader(block.data(), block.size(), header)) return StreamOutcome::Damaged;
    PieceSource source(block.data(), block.size(), piece);
    return streamLzma(header, source, sink);
}

// Whether the block decodes to `content` from memory and as a stream.
void expectDecodes(const Bytes& block, const Bytes& content) {
    Bytes out(content.size() + 1, 0xAA);
    std::uint32_t written = 1;
    ASSERT_TRUE(unpackBlock(block.data(), block.size(), out.data(), content.size(), written));
    EXPECT_EQ(written, content.size());
    EXPECT_TRUE(std::equal(content.begin(), content.end(), out.begin()));
    EXPECT_EQ(out.back(), 0xAA);
    for (std::size_t piece : {std::size_t(1), std::size_t(7), std::size_t(1) << 20}) {
        CollectingSink sink;
        EXPECT_EQ(streamBlock(block, piece, sink), StreamOutcome::Done) << "pieces of " << piece;
        EXPECT_EQ(sink.bytes, content) << "pieces of " << piece;
    }
}

LzmaBlockHeader smallParts(const Bytes& content, std::uint32_t partLength, std::uint32_t dictionary) {
    LzmaBlockHeader plan = lzmaPlanFor(content.data(), content.size());
    plan.partLength = partLength;
    plan.dictionarySize = dictionary;
    return plan;
}

TEST(Lzma, RoundTrips) {
    Bytes repeated = randomBytes(40000, 1);
    repeated.insert(repeated.end(), repeated.begin(), repeated.end());  // a match 40,000 back
    const std::string text = "The quick brown fox jumps over the lazy dog. ";
    Bytes prose;
    for (int i = 0; i < 300; ++i) prose.insert(prose.end(), text.begin(), text.end() - i % 7);
    const struct {
        const char* name;
        Bytes content;
    } rows[] = {
        {"empty", {}},
        {"one byte", {0x41}},
        {"three bytes (no checksum)", {1, 2, 3}},
        {"a run of one byte", Bytes(100000, 0)},
        {"text", prose},
        {"random", randomBytes(5000, 2)},
        {"a far repeat", repeated},
        {"code", codeLike(70000)},
        {"opcodes thick with near top bytes", opcodeThick(70000, 1)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes block = packLzma(row.content.data(), row.content.size());
        ASSERT_GE(block.size(), kLzmaHeaderSize);
        EXPECT_EQ(packedBlockMethod(block.data(), block.size()), BlockMethod::Lzma);
        expectDecodes(block, row.content);
    }
    // Blocks made with the filter's first form are still read.
    const Bytes code = codeLike(70000);
    LzmaBlockHeader firstForm = lzmaPlanFor(code.data(), code.size());
    firstForm.filter = kX86FilterFirstForm;
    expectDecodes(packLzma(firstForm, code.data(), code.size()), code);
}

// A program whose calls go to a few functions of its own, among other bytes.
Bytes callsToOwnFunctions(std::size_t length, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes;
    while (bytes.size() < length) {
        for (unsigned i = random() % 12; i != 0; --i) bytes.push_back(std::uint8_t(0x40 + random() % 16));
        const std::uint32_t target = 0x1000 + 0x340 * (random() % 16);
        const std::uint32_t relative = target - std::uint32_t(bytes.size() + 5);
        bytes.push_back(0xE8);
        for (int i = 0; i < 4; ++i) bytes.push_back(std::uint8_t(relative >> 8 * i));
    }
    bytes.resize(length);
    return bytes;
}

TEST(Lzma, FiltersOnlyWhereTheFilterPays) {
    const Bytes program = callsToOwnFunctions(200000, 1);
    // The same program again and again, each copy a little further on: its
    // relative calls repeat whole, their absolute targets would not.
    Bytes copies;
    for (unsigned copy = 0; copy < 12; ++copy) {
        copies.insert(copies.end(), copy + 1, std::uint8_t(copy));
        copies.insert(copies.end(), program.begin(), program.end());
    }
    const std::string line = "Installs the application and its documents. ";
    Bytes text;
    while (text.size() < 100000) text.insert(text.end(), line.begin(), line.end() - text.size() % 9);
    const struct {
        const char* name;
        Bytes content;
        std::uint8_t filter;
    } rows[] = {
        {"a program calling its own functions", program, kX86Filter},
        {"copies of one program", copies, kNoFilter},
        {"text", text, kNoFilter},
        {"random bytes", randomBytes(100000, 3), kNoFilter},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const LzmaBlockHeader plan = lzmaPlanFor(row.content.data(), row.content.size());
        EXPECT_EQ(plan.filter, row.filter);
        // The choice is the smaller block.
        LzmaBlockHeader other = plan;
        other.filter = plan.filter == kNoFilter ? kX86Filter : kNoFilter;
        EXPECT_LE(packLzma(plan, row.content.data(), row.content.size()).size(),
                  packLzma(other, row.content.data(), row.content.size()).size());
    }
}

TEST(Lzma, PartsReachBackIntoThePartsBefore) {
    // Parts of 16 KiB over content that repeats every 20,000 bytes: each part
    // finds its matches in the one before, which only history gives it.
    Bytes content = randomBytes(20000, 3);
    for (int i = 0; i < 3; ++i) content.insert(content.end(), content.begin(), content.begin() + 20000);
    const Bytes chained = packLzma(smallParts(content, 16 << 10, 64 << 10), content.data(), content.size());
    expectDecodes(chained, content);
    EXPECT_LT(chained.size(), 30000u);

    // The same parts with a dictionary that ends inside the repeat still
    // decode, and lose the matches.
    const Bytes near = packLzma(smallParts(content, 16 << 10, 16 << 10), content.data(), content.size());
    expectDecodes(near, content);
    EXPECT_GT(near.size(), 60000u);
}

TEST(Lzma, RefusesDamagedBlocks) {
    const Bytes content = codeLike(3000);
    const Bytes block = packLzma(smallParts(content, 1024, 4096), content.data(), content.size());
    Bytes out(content.size());
    std::uint32_t written = 0;
    // Every cut is refused: a part then ends early, or the block has no parts left.
    for (std::size_t cut = 0; cut < block.size(); ++cut) {
        EXPECT_FALSE(unpackBlock(block.data(), cut, out.data(), out.size(), written)) << "cut at " << cut;
        CollectingSink sink;
        EXPECT_EQ(streamBlock(Bytes(block.begin(), block.begin() + cut), 5, sink), StreamOutcome::Damaged);
    }
    // A changed byte is refused, or it lay where the decoder never reads
    // (the end marker behind a part's content) and the content is right.
    for (std::size_t at = 0; at < block.size(); ++at) {
        Bytes damaged = block;
        damaged[at] ^= 0x10;
        if (unpackBlock(damaged.data(), damaged.size(), out.data(), out.size(), written)) {
            EXPECT_EQ(out, content) << "byte " << at;
        }
        CollectingSink sink;
        if (streamBlock(damaged, 3, sink) == StreamOutcome::Done) {
            EXPECT_EQ(sink.bytes, content) << "byte " << at;
        }
    }
}

TEST(Lzma, RefusesHeadersItDoesNotTake) {
    Bytes content = randomBytes(150, 4);
    content.insert(content.end(), content.begin(), content.end());  // a match 150 back
    const Bytes block = packLzma(content.data(), content.size());
    Bytes out(content.size());
    std::uint32_t written = 0;
    const struct {
        const char* name;
        std::size_t at;
        std::uint8_t value;
    } rows[] = {
        {"lc + lp above 4", 10, (0 * 5 + 2) * 9 + 3},
        {"pb above 4", 10, 5 * 45},
        {"unknown filter", 15, kX86Filter + 1},
        {"no part length", 16, 0},
        {"a dictionary that ends before the content's match", 13, 0},  // with 11, 12 and 14: 0
    };
    for (const auto& row : rows) {
        Bytes changed = block;
        changed[row.at] = row.value;
        if (row.at == 13) changed[11] = changed[12] = changed[14] = 0;
        if (row.at == 16) changed[17] = changed[18] = changed[19] = 0;
        EXPECT_FALSE(unpackBlock(changed.data(), changed.size(), out.data(), out.size(), written)) << row.name;
    }
    EXPECT_FALSE(unpackBlock(block.data(), block.size(), out.data(), out.size() - 1, written)) << "no room";
}

TEST(Lzma, StreamsWithinItsWindowAndReportsItsSink) {
    // Near matches among matches that reach back almost the whole ring, to
    // the bytes its last turn left just ahead: a copy must not touch those
    // beyond its own end.
    Bytes mixed = randomBytes(4096, 5);
    std::mt19937 random(5);
    while (mixed.size() < 200000) {
        const std::size_t distance = random() % 2 ? 4096 - random() % 6 : 8 + random() % 40;
        for (std::size_t length = 8 + random() % 40; length != 0; --length) mixed.push_back(mixed[mixed.size() - distance]);
        if (random() % 2) mixed.push_back(std::uint8_t(random()));
    }
    expectDecodes(packLzma(smallParts(mixed, 1 << 20, 4096), mixed.data(), mixed.size()), mixed);

    const Bytes content = codeLike(300000);
    const Bytes block = packLzma(smallParts(content, 100000, 65536), content.data(), content.size());
    CollectingSink refusing(150000);
    EXPECT_EQ(streamBlock(block, 4096, refusing), StreamOutcome::WriteFailed);

    LzmaBlockHeader header;
    ASSERT_TRUE(readLzmaHeader(block.data(), block.size(), header));
    // A window larger than a stream may hold is refused before it is reserved.
    header.size = kLargestStreamWindow + 2;
    header.dictionarySize = kLargestStreamWindow + 1;
    PieceSource source(block.data(), block.size(), 4096);
    CollectingSink sink;
    EXPECT_EQ(streamLzma(header, source, sink), StreamOutcome::Damaged);
}

TEST(X86Filter, PiecesConvertAsTheWhole) {
    Bytes content = codeLike(4990);
    content.insert(content.end(), 6, 0x90);
    content.insert(content.end(), {0xE8, 0, 0, 0});  // runs past the end: stays as it is
    for (X86Form form : {X86Form::SkipsOperands, X86Form::First}) {
        Bytes whole = content;
        EXPECT_EQ(convertX86(whole.data(), whole.size(), 0, true, form), whole.size() - 4);
        EXPECT_NE(whole, content);
        EXPECT_TRUE(std::equal(whole.end() - 5, whole.end(), content.end() - 5));
        // Back again in pieces that cut instructions, carrying what is not final.
        for (std::size_t piece : {5, 6, 9, 64}) {
            Bytes back;
            Bytes held;
            std::uint32_t position = 0;
            for (std::size_t at = 0; at < whole.size(); at += piece) {
                held.insert(held.end(), whole.begin() + at, whole.begin() + std::min(at + piece, whole.size()));
                const std::size_t done = convertX86(held.data(), held.size(), position, false, form);
                back.insert(back.end(), held.begin(), held.begin() + done);
                held.erase(held.begin(), held.begin() + done);
                position += std::uint32_t(done);
            }
            back.insert(back.end(), held.begin(), held.end());
            EXPECT_EQ(back, content) << "pieces of " << piece;
        }
    }
}

TEST(X86Filter, UndoesItselfOnAnyBytes) {
    unsigned firstFormLost = 0;
    for (unsigned seed = 0; seed < 20; ++seed) {
        Bytes sparse = randomBytes(4096, seed);
        for (std::size_t at = seed; at < sparse.size(); at += 11) sparse[at] = 0xE8 + (at & 1);
        for (const Bytes& content : {sparse, opcodeThick(4096, seed)}) {
            Bytes converted = content;
            convertX86(converted.data(), converted.size(), seed * 1000, true, X86Form::SkipsOperands);
            convertX86(converted.data(), converted.size(), seed * 1000, false, X86Form::SkipsOperands);
            EXPECT_EQ(converted, content) << "seed " << seed;
            convertX86(converted.data(), converted.size(), seed * 1000, true, X86Form::First);
            convertX86(converted.data(), converted.size(), seed * 1000, false, X86Form::First);
            firstFormLost += converted != content;
        }
    }
    // Why blocks are no longer made with the first form: on such bytes it
    // does not come back.
    EXPECT_GT(firstFormLost, 0u);
}

TEST(ChecksumStream, MatchesTheWholeChecksum) {
    const Bytes content = randomBytes(1031, 5);
    for (std::size_t length : {0, 3, 4, 5, 8, 1030, 1031}) {
        for (std::size_t piece : {1, 2, 3, 5, 64}) {
            ChecksumStream stream;
            for (std::size_t at = 0; at < length; at += piece)
                stream.add(content.data() + at, std::min(piece, length - at));
            EXPECT_EQ(stream.finish(), blockChecksum(content.data(), length)) << length << " in pieces of " << piece;
        }
    }
}

}  // namespace
}  // namespace brindle
