#include "package/literal_plan.h"

#include <array>

#include "package/code_costs.h"

namespace brindle {

namespace {

constexpr std::uint32_t kNoWay = 0xffffffffu;

unsigned modeCodeBits(LiteralMode mode) { return mode == kWideLiterals ? kWideModeCodeBits : kNarrowModeCodeBits; }

std::uint32_t literalBits(LiteralMode mode, std::uint8_t byte) {
    if (!literalFits(mode, byte)) return kNoWay;
    return mode == kWideLiterals ? kWideLiteralBits : kNarrowLiteralBits;
}

}  // namespace

// Dynamic programming over the literals with the mode as state.
LiteralPlan planLiterals(const std::uint8_t* data, std::size_t start, const std::vector<Token>& tokens,
                         LiteralMode mode) {
    std::vector<std::uint32_t> positions;
    std::size_t position = start;
    for (const Token& token : tokens) {
        if (token.distance == 0) positions.push_back(std::uint32_t(position));
        position += token.length;
    }
    const std::size_t count = positions.size();

    // bits[j][m]: cheapest cost of the first j tokens ending in mode m;
    // from[j][m]: the mode in force before token j - 1 (m unless it switched).
    std::vector<std::array<std::uint32_t, kLiteralModes>> bits(count + 1);
    std::vector<std::array<std::uint8_t, kLiteralModes>> from(count + 1);
    for (auto& row : bits) row.fill(kNoWay);
    bits[0][mode] = 0;

    for (std::size_t j = 0; j < count; ++j) {
        unsigned cheapest = 0;
        for (unsigned m = 1; m < kLiteralModes; ++m) {
            if (bits[j][m] < bits[j][cheapest]) cheapest = m;
        }
        const std::uint8_t byte = data[positions[j]];
        for (unsigned m = 0; m < kLiteralModes; ++m) {
            std::uint32_t entry = bits[j][m];
            unsigned entryMode = m;
            if (m != kNoLiteralMode && bits[j][cheapest] + modeCodeBits(LiteralMode(m)) < entry) {
                entry = bits[j][cheapest] + modeCodeBits(LiteralMode(m));
                entryMode = cheapest;
            }
            const std::uint32_t cost = literalBits(LiteralMode(m), byte);
            if (entry == kNoWay || cost == kNoWay) continue;
            if (entry + cost < bits[j + 1][m]) {
                bits[j + 1][m] = entry + cost;
                from[j + 1][m] = std::uint8_t(entryMode);
            }
        }
    }

    LiteralPlan plan;
    plan.actions.resize(count);
    unsigned m = 0;
    for (unsigned k = 1; k < kLiteralModes; ++k) {
        if (bits[count][k] < bits[count][m]) m = k;
    }
    plan.finalMode = LiteralMode(m);
    for (std::size_t j = count; j > 0; --j) {
        const unsigned entered = from[j][m];
        plan.actions[j - 1] = {entered != m, LiteralMode(m)};
        m = entered;
    }
    return plan;
}

}  // namespace brindle
