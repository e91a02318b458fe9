#include "package/optimal_parse.h"

#include <algorithm>

#include "package/match_length.h"

#include "package/code_costs.h"

namespace brindle {

std::vector<Token> OptimalParser::parse(const std::uint8_t* data, std::size_t start, std::size_t end,
                                        const StretchMatches& found, const ParseCosts& costs,
                                        std::uint32_t lastOffset) {
    constexpr std::size_t nice = MatchFinder::kNiceLength;
    const std::size_t size = end - start;
    bits_.assign(size + 1, kUnreachableBits);
    length_.resize(size + 1);
    distance_.resize(size + 1);
    lastOffset_.resize(size + 1);
    bits_[0] = 0;
    lastOffset_[0] = lastOffset;

    for (std::size_t i = 0; i < size;) {
        const std::size_t position = start + i;
        const std::size_t limit = size - i;
        const std::uint32_t base = bits_[i];
        const std::uint32_t dispatched = base + kDispatchCharge;  // any code but a literal in a run
        const std::uint32_t offsetHere = lastOffset_[i];

        const bool inLiteralRun = i > 0 && length_[i] == 1 && distance_[i] == 0;
        reach(i + 1, (inLiteralRun ? base : dispatched) + costs.literalBits[i], 1, 0, offsetHere);
        if (hasByteCode(data, position)) {
            reach(i + 1, dispatched + kByteCodeBits, 1, Token::kByteCodeDistance, offsetHere);
        }
        // Each chunk is priced as a run of its own; the writer joins neighbours.
        if (limit >= kRawChunkLength) {
            reach(i + kRawChunkLength, dispatched + kRawRunCodeBits + kRawChunkBits, kRawChunkLength,
                  Token::kRawDistance, offsetHere);
        }

        // A match reaching past the nice length is taken as is: the positions
        // it covers are not explored, which keeps long repeats linear.
        std::size_t longest = 0;
        if (offsetHere <= position) {
            const std::size_t length = matchLength(data + position, data + position - offsetHere, limit);
            for (std::uint32_t n = 2; n <= std::min(length, nice); ++n) {
                reach(i + n, dispatched + repeatMatchBits(n), n, Token::kRepeatDistance, offsetHere);
            }
            if (length > nice) {
                reach(i + length, dispatched + repeatMatchBits(std::uint32_t(length)), std::uint32_t(length),
                      Token::kRepeatDistance, offsetHere);
            }
            longest = length;
        }

        std::uint32_t covered = 1;
        for (std::uint32_t k = found.first[i]; k < found.first[i + 1]; ++k) {
            const std::uint32_t distance = found.matches[k].distance;
            std::size_t length = std::min<std::size_t>(found.matches[k].length, limit);
            if (length == nice) {
                length += matchLength(data + position + nice, data + position + nice - distance, limit - nice);
            }
            if (distance == offsetHere) {
                covered = std::max<std::uint32_t>(covered, std::uint32_t(std::min(length, nice)));
                continue;  // the repeat code above is cheaper
            }
            for (std::uint32_t n = covered + 1; n <= std::min(length, nice); ++n) {
                const std::uint32_t bits = matchBits(distance, n, costs.indexWidth);
                if (bits != kUnreachableBits) reach(i + n, dispatched + bits, n, distance, distance);
            }
            if (length > nice) {
                const std::uint32_t n = std::uint32_t(length);
                reach(i + n, dispatched + matchBits(distance, n, costs.indexWidth), n, distance, distance);
            }
            covered = std::max<std::uint32_t>(covered, std::uint32_t(std::min(length, nice)));
            longest = std::max(longest, length);
        }
        i += longest > nice ? longest : 1;
    }

    std::vector<Token> tokens;
    for (std::size_t at = size; at > 0; at -= length_[at]) tokens.push_back({length_[at], distance_[at]});
    std::reverse(tokens.begin(), tokens.end());
    return tokens;
}

}  // namespace brindle
