#include "package/index_width.h"

#include "package/code_costs.h"

namespace brindle {

unsigned chooseIndexWidth(const std::vector<Token>& tokens, unsigned current) {
    std::uint64_t bits[kLargestIndexWidth + 1] = {};
    for (unsigned width = 0; width <= kLargestIndexWidth; ++width) {
        if (width != current) bits[width] = indexWidthCodeBits(width);
    }
    for (const Token& token : tokens) {
        if (!token.setsOffset() || isShortMatch(token.distance, token.length)) continue;
        for (unsigned width = 0; width <= kLargestIndexWidth; ++width) {
            bits[width] += longMatchOffsetBits(token.distance, width);
        }
    }
    unsigned best = current;
    for (unsigned width = 0; width <= kLargestIndexWidth; ++width) {
        if (bits[width] < bits[best]) best = width;
    }
    return best;
}

}  // namespace brindle
