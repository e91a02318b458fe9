// The encoder. The block is packed in stretches; for each, the matches of
// every position are gathered once, then parsed twice: first with a guess of
// the literal costs and the current index width, then with the index width
// and literal widths that first parse calls for. The match finder and the
// decoder state (last offset, widths) carry over from stretch to stretch.
#include "package/pack.h"

#include <algorithm>

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
    std::size_t single = 0;
    for (const Token& token : tokens) {
        if (token.distance == 0) mode = plan.actions[single++].mode;
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

std::vector<std::uint8_t> pack(const std::uint8_t* data, std::size_t length) {
    std::vector<std::uint8_t> out(kPackedHeaderSize);
    out[0] = kPackedMagic0;
    out[1] = kPackedMagic1;
    storeLe32(&out[2], std::uint32_t(length));
    storeLe32(&out[6], blockChecksum(data, length));
    out.reserve(kPackedHeaderSize + length + length / 64 + 16);

    MatchFinder finder(data, length);
    OptimalParser parser;
    TokenWriter writer(out, data);
    StretchMatches found;
    std::vector<std::uint8_t> literalBits;
    std::uint32_t lastOffset = 1;
    unsigned indexWidth = kDefaultIndexWidth;
    LiteralMode mode = kNoLiteralMode;

    for (std::size_t start = 0; start < length; start += kStretchLength) {
        const std::size_t end = std::min(length, start + kStretchLength);
        gatherMatches(finder, start, end, found);

        guessLiteralBits(data, start, end, mode, literalBits);
        std::vector<Token> tokens = parser.parse(data, start, end, found, {indexWidth, literalBits.data()}, lastOffset);
        const unsigned width = chooseIndexWidth(tokens, indexWidth);
        LiteralPlan plan = planLiterals(data, start, tokens, mode);

        plannedLiteralBits(data, start, tokens, plan, mode, literalBits);
        tokens = parser.parse(data, start, end, found, {width, literalBits.data()}, lastOffset);
        plan = planLiterals(data, start, tokens, mode);

        writer.setIndexWidth(width);
        writer.write(start, tokens, plan);
        indexWidth = width;
        lastOffset = lastOffsetAfter(tokens, lastOffset);
        mode = plan.finalMode;
    }
    writer.finish();
    return out;
}

}  // namespace brindle
