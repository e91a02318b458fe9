// The encoder. A segment is packed in stretches; for each, the matches of
// every position are gathered once, then parsed twice: first with a guess of
// the literal costs and the current index width, then with the index width
// and literal widths that first parse calls for. The match finder and the
// decoder state (last offset, widths) carry over from stretch to stretch.
// A segment after the first assumes nothing of the state before it: it sets
// the index width and a literal width before using them and sets an offset
// before it repeats one, so its stream follows any other.
#include "package/pack.h"

#include <algorithm>

#include "package/bit_writer.h"
#include "package/block_checksum.h"
#include "package/code_costs.h"
#include "package/index_width.h"
#include "package/literal_plan.h"
#include "package/match_finder.h"
#include "package/optimal_parse.h"
#include "package/packed_block.h"
#include "package/token_writer.h"

namespace brindle {

namespace {

// Long enough that the plans and the index width settle on real statistics,
// short enough to follow changes of content and keep the tables small.
constexpr std::size_t kStretchLength = std::size_t(1) << 18;
// A last offset no position can repeat: no repeated-offset match until a
// match has set one.
constexpr std::uint32_t kNoLastOffset = 0xfffffff0u;

void gatherMatches(MatchFinder& finder, std::size_t start, std::size_t end, StretchMatches& found) {
    found.first.clear();
    found.matches.clear();
    Match batch[MatchFinder::kMaxMatches];
    for (std::size_t position = start; position < end; ++position) {
        found.first.push_back(std::uint32_t(found.matches.size()));
        const std::size_t count = finder.find(position, batch);
        found.matches.insert(found.matches.end(), batch, batch + count);
    }
    found.first.push_back(std::uint32_t(found.matches.size()));
}

// The literal cost at each position under `mode`, before any plan exists.
void guessLiteralBits(const std::uint8_t* data, std::size_t start, std::size_t end, LiteralMode mode,
                      std::vector<std::uint8_t>& literalBits) {
    literalBits.resize(end - start);
    for (std::size_t at = start; at < end; ++at) {
        const bool narrow = mode >= kNarrowLiterals && literalFits(mode, data[at]);
        literalBits[at - start] = narrow ? kNarrowLiteralBits : kWideLiteralBits;
    }
}

// The literal cost at each position under the modes a plan puts in force:
// a byte outside the current narrow range costs a switch to wide and back.
void plannedLiteralBits(const std::uint8_t* data, std::size_t start, const std::vector<Token>& tokens,
                        const LiteralPlan& plan, LiteralMode mode, std::vector<std::uint8_t>& literalBits) {
    std::size_t position = start;
    std::size_t literal = 0;
    for (const Token& token : tokens) {
        if (token.distance == 0) mode = plan.actions[literal++].mode;
        for (std::size_t at = position; at < position + token.length; ++at) {
            unsigned bits = kWideLiteralBits;
            if (mode >= kNarrowLiterals) bits = literalFits(mode, data[at]) ? kNarrowLiteralBits : 2 * kWideLiteralBits;
            literalBits[at - start] = std::uint8_t(bits);
        }
        position += token.length;
    }
}

std::uint32_t lastOffsetAfter(const std::vector<Token>& tokens, std::uint32_t lastOffset) {
    for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) {
        if (token->setsOffset()) return token->distance;
    }
    return lastOffset;
}

}  // namespace

PackedSegment packSegment(const std::uint8_t* data, std::size_t length, std::size_t index,
                          std::size_t segmentLength) {
    const std::size_t begin = index * segmentLength;
    const std::size_t end = std::min(length, begin + segmentLength);
    // The finder first takes in the window before the segment.
    const std::size_t primed = begin - std::min<std::size_t>(begin, MatchFinder::kWindow);
    MatchFinder finder(data, primed, end);
    Match ignored[MatchFinder::kMaxMatches];
    for (std::size_t position = primed; position < begin; ++position) finder.find(position, ignored);

    const bool first = index == 0;
    PackedSegment segment;
    segment.words.reserve((end - begin) / 3);
    TokenWriter writer(segment.words, data, first ? kDefaultIndexWidth : TokenWriter::kUnknownIndexWidth);
    OptimalParser parser;
    StretchMatches found;
    std::vector<std::uint8_t> literalBits;
    std::uint32_t lastOffset = first ? 1 : kNoLastOffset;
    unsigned indexWidth = kDefaultIndexWidth;
    LiteralMode mode = kNoLiteralMode;

    for (std::size_t start = begin; start < end; start += kStretchLength) {
        const std::size_t stop = std::min(end, start + kStretchLength);
        gatherMatches(finder, start, stop, found);

        guessLiteralBits(data, start, stop, mode, literalBits);
        std::vector<Token> tokens = parser.parse(data, start, stop, found, {indexWidth, literalBits.data()}, lastOffset);
        const unsigned width = chooseIndexWidth(tokens, indexWidth);
        LiteralPlan plan = planLiterals(data, start, tokens, mode);

        plannedLiteralBits(data, start, tokens, plan, mode, literalBits);
        tokens = parser.parse(data, start, stop, found, {width, literalBits.data()}, lastOffset);
        plan = planLiterals(data, start, tokens, mode);

        writer.setIndexWidth(width);
        writer.write(start, tokens, plan);
        indexWidth = width;
        lastOffset = lastOffsetAfter(tokens, lastOffset);
        mode = plan.finalMode;
    }
    writer.takePending(segment.pending, segment.pendingBits);
    return segment;
}

std::vector<std::uint8_t> joinSegments(const std::uint8_t* data, std::size_t length,
                                       const std::vector<PackedSegment>& segments) {
    std::size_t total = kPackedHeaderSize + 8;
    for (const PackedSegment& segment : segments) total += segment.words.size() + 4;
    std::vector<std::uint8_t> out(kPackedHeaderSize);
    out.reserve(total);
    out[0] = kPackedMagic0;
    out[1] = kPackedMagic1;
    storeLe32(&out[2], std::uint32_t(length));
    storeLe32(&out[6], blockChecksum(data, length));
    BitWriter bits(out);
    for (const PackedSegment& segment : segments) {
        bits.putWords(segment.words);
        bits.put(segment.pending, segment.pendingBits);
    }
    bits.put(0, kShortMatchBits);  // the end code: a short match from offset 0
    bits.finish();
    return out;
}

std::vector<std::uint8_t> pack(const std::uint8_t* data, std::size_t length) {
    std::vector<PackedSegment> segments;
    for (std::size_t index = 0; index < segmentCount(length); ++index)
        segments.push_back(packSegment(data, length, index));
    return joinSegments(data, length, segments);
}

}  // namespace brindle
