// Chooses the cheapest sequence of codes for a stretch of a block: dynamic
// programming over positions, where each position remembers the cheapest way
// to reach it and the last offset along that way, so that repeated-offset
// matches are priced for the path actually taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/match_finder.h"

namespace brindle {

// One code of the stream: a literal (distance 0), the zero-byte code or a
// one-byte copy (kByteCodeDistance), a chunk of a raw run (kRawDistance), a
// match repeating the last offset (kRepeatDistance), or a match at an
// explicit distance.
struct Token {
    static constexpr std::uint32_t kRepeatDistance = 0xffffffffu;
    static constexpr std::uint32_t kRawDistance = 0xfffffffeu;
    static constexpr std::uint32_t kByteCodeDistance = 0xfffffffdu;
    std::uint32_t length;
    std::uint32_t distance;

    bool setsOffset() const { return distance != 0 && distance < kByteCodeDistance; }
};

// The matches of each position of a stretch: those of position i are
// matches[first[i]] up to matches[first[i + 1]].
struct StretchMatches {
    std::vector<std::uint32_t> first;
    std::vector<Match> matches;
};

struct ParseCosts {
    unsigned indexWidth;
    const std::uint8_t* literalBits;  // the cost of a literal, per position of the stretch
};

class OptimalParser {
public:
    // The tokens covering data[start, end), entered with `lastOffset` as the
    // decoder's last offset.
    std::vector<Token> parse(const std::uint8_t* data, std::size_t start, std::size_t end,
                             const StretchMatches& found, const ParseCosts& costs, std::uint32_t lastOffset);

private:
    void reach(std::size_t target, std::uint32_t bits, std::uint32_t length, std::uint32_t distance,
               std::uint32_t lastOffset) {
        if (bits < bits_[target]) {
            bits_[target] = bits;
            length_[target] = length;
            distance_[target] = distance;
            lastOffset_[target] = lastOffset;
        }
    }

    // Per position of the stretch, for the cheapest way found to reach it:
    std::vector<std::uint32_t> bits_;
    std::vector<std::uint32_t> length_;  // of the last token
    std::vector<std::uint32_t> distance_;
    std::vector<std::uint32_t> lastOffset_;
};

}  // namespace brindle
