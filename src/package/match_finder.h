// Finds earlier occurrences of the bytes at each position of a block, up to
// a window back: the nearest two- and three-byte matches from hash tables,
// longer ones from a binary tree of the positions within the window sorted by
// content. The tree is a ring of one node pair per position of the window,
// and the tables are sized to the data, so memory follows the smaller of the
// two, not the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/packed_block.h"

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
    // No match reaches back this far: 8 MiB, 64 MiB of tree.
    static constexpr std::uint32_t kWindow = kLzMatchReach;

    // Matches for data[begin, end), each less than `window` back and not
    // before `begin`.
    MatchFinder(const std::uint8_t* data, std::size_t begin, std::size_t end, std::uint32_t window = kWindow);

    // Writes the matches at `position` to `matches` by increasing length, each
    // the nearest one found for its length, and returns their number. Visit
    // every position from `begin` once, in order.
    std::size_t find(std::size_t position, Match* matches);

private:
    bool inWindow(std::size_t position, std::uint32_t candidate) const {
        return candidate != kNone && position - candidate < cycle_;
    }
    std::size_t searchTree(std::size_t position, std::uint32_t maxLength, std::uint32_t bestLength,
                           Match* matches);

    static constexpr std::uint32_t kNone = 0xffffffffu;
    const std::uint8_t* data_;
    std::size_t end_;
    std::size_t cycle_;     // nodes of the ring: the window, or less for less data
    std::size_t ringAt_ = 0;  // the node of the current position
    std::uint32_t hash2Mask_;
    unsigned hash3Shift_;
    std::uint32_t hash4Mask_;
    std::vector<std::uint32_t> head2_;
    std::vector<std::uint32_t> head3_;
    std::vector<std::uint32_t> head4_;
    std::vector<std::uint32_t> tree_;  // two children per node
};

}  // namespace brindle
