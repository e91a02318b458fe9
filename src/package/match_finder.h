// Finds earlier occurrences of the bytes at each position of a block, over
// the whole block: the nearest two- and three-byte matches from hash tables,
// longer ones from a binary tree of all earlier positions sorted by content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brindle {

struct Match {
    std::uint32_t length;
    std::uint32_t distance;
};

class MatchFinder {
public:
    // Matches are reported up to this length; the caller extends longer ones.
    static constexpr std::uint32_t kNiceLength = 64;
    // The most matches one position can report (lengths 2 to kNiceLength).
    static constexpr std::size_t kMaxMatches = kNiceLength - 1;

    MatchFinder(const std::uint8_t* data, std::size_t length);

    // Writes the matches at `position` to `matches` by increasing length, each
    // the nearest one found for its length, and returns their number. Visit
    // every position once, in order.
    std::size_t find(std::size_t position, Match* matches);

private:
    std::size_t searchTree(std::size_t position, std::uint32_t maxLength, std::uint32_t bestLength,
                           Match* matches);

    const std::uint8_t* data_;
    std::size_t length_;
    std::uint32_t hash4Mask_;
    std::vector<std::uint32_t> head2_;
    std::vector<std::uint32_t> head3_;
    std::vector<std::uint32_t> head4_;
    std::vector<std::uint32_t> tree_;  // two children per position
};

}  // namespace brindle
