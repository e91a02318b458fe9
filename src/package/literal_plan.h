// Decides how the literals of a stretch are written: which literal width
// (9-bit literals, or 8-bit ones that reach 128 values from a base) is in
// force for each, and where to switch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/optimal_parse.h"

namespace brindle {

// The literal width in force: none yet, 8 bits, or 7 bits with one of 16
// bases (multiples of 16, which cover every useful range well enough).
using LiteralMode = std::uint8_t;
inline constexpr LiteralMode kNoLiteralMode = 0;
inline constexpr LiteralMode kWideLiterals = 1;
inline constexpr LiteralMode kNarrowLiterals = 2;  // + base / 16
inline constexpr unsigned kLiteralModes = 18;

inline std::uint8_t narrowBase(LiteralMode mode) { return std::uint8_t((mode - kNarrowLiterals) * 16); }

inline bool literalFits(LiteralMode mode, std::uint8_t byte) {
    if (mode == kWideLiterals) return true;
    return mode >= kNarrowLiterals && std::uint8_t(byte - narrowBase(mode)) < 128;
}

// How one literal is written.
struct ByteAction {
    bool switchMode;   // a literal-width code comes before it
    LiteralMode mode;  // the mode in force for it
};

struct LiteralPlan {
    std::vector<ByteAction> actions;  // one per literal, in order
    LiteralMode finalMode;
};

// Plans the literals among `tokens`, which cover data from `start`,
// entered with `mode` in force.
LiteralPlan planLiterals(const std::uint8_t* data, std::size_t start, const std::vector<Token>& tokens,
                         LiteralMode mode);

}  // namespace brindle
