#include "package/literal_plan.h"

#include <array>

#include "package/code_costs.h"

namespace brindle {

namespace {

constexpr std::uint32_t kNoWay = 0xffffffffu;
constexpr std::uint8_t kFromRawRun = 0xff;

unsigned modeCodeBits(LiteralMode mode) { return mode == kWideLiterals ? kWideModeCodeBits : kNarrowModeCodeBits; }

std::uint32_t byteBits(LiteralMode mode, std::uint8_t byte, bool byteCode) {
    if (byteCode) return kByteCodeBits;
    if (!literalFits(mode, byte)) return kNoWay;
    return mode == kWideLiterals ? kWideLiteralBits : kNarrowLiteralBits;
}

}  // namespace

// Dynamic programming over the single-byte tokens with the mode as state.
// A raw run may only start where a run of consecutive single bytes starts and
// leaves the mode as it was.
LiteralPlan planLiterals(const std::uint8_t* data, std::size_t start, const std::vector<Token>& tokens,
                         LiteralMode mode) {
    std::vector<std::uint32_t> positions;
    std::size_t position = start;
    for (const Token& token : tokens) {
        if (token.distance == 0) positions.push_back(std::uint32_t(position));
        position += token.length;
    }
    const std::size_t count = positions.size();

    // runStart[j]: the first token of the run of consecutive bytes holding j.
    std::vector<std::uint32_t> runStart(count);
    for (std::size_t j = 0; j < count; ++j) {
        const bool continues = j > 0 && positions[j] == positions[j - 1] + 1;
        runStart[j] = continues ? runStart[j - 1] : std::uint32_t(j);
    }

    using Row = std::array<std::uint32_t, kLiteralModes>;
    // bits[j][m]: cheapest cost of the first j tokens ending in mode m;
    // from[j][m]: the mode token j - 1 was entered from, or kFromRawRun.
    std::vector<Row> bits(count + 1);
    std::vector<std::array<std::uint8_t, kLiteralModes>> from(count + 1);
    bits[0].fill(kNoWay);
    bits[0][mode] = 0;
    for (std::size_t j = 1; j <= count; ++j) bits[j].fill(kNoWay);

    for (std::size_t j = 0; j < count; ++j) {
        if (runStart[j] == j) {
            std::size_t runLength = 1;
            while (j + runLength < count && runStart[j + runLength] == j) ++runLength;
            for (std::size_t chunks = 1; chunks * kRawChunkLength <= runLength; ++chunks) {
                const std::uint32_t runBits = kRawRunCodeBits + std::uint32_t(chunks) * kRawChunkBits;
                Row& target = bits[j + chunks * kRawChunkLength];
                for (unsigned m = 0; m < kLiteralModes; ++m) {
                    if (bits[j][m] != kNoWay && bits[j][m] + runBits < target[m]) {
                        target[m] = bits[j][m] + runBits;
                        from[j + chunks * kRawChunkLength][m] = kFromRawRun;
                    }
                }
            }
        }
        unsigned cheapest = 0;
        for (unsigned m = 1; m < kLiteralModes; ++m) {
            if (bits[j][m] < bits[j][cheapest]) cheapest = m;
        }
        const std::uint8_t byte = data[positions[j]];
        const bool byteCode = hasByteCode(data, positions[j]);
        for (unsigned m = 0; m < kLiteralModes; ++m) {
            std::uint32_t entry = bits[j][m];
            unsigned entryMode = m;
            if (m != kNoLiteralMode && bits[j][cheapest] != kNoWay &&
                bits[j][cheapest] + modeCodeBits(LiteralMode(m)) < entry) {
                entry = bits[j][cheapest] + modeCodeBits(LiteralMode(m));
                entryMode = cheapest;
            }
            const std::uint32_t cost = byteBits(LiteralMode(m), byte, byteCode);
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
    for (std::size_t j = count; j > 0;) {
        if (from[j][m] == kFromRawRun) {
            const std::size_t first = runStart[j - 1];
            for (std::size_t k = first; k < j; ++k) plan.actions[k] = {true, false, LiteralMode(m)};
            j = first;
        } else {
            const unsigned entered = from[j][m];
            plan.actions[j - 1] = {false, entered != m, LiteralMode(m)};
            m = entered;
            --j;
        }
    }
    return plan;
}

}  // namespace brindle
