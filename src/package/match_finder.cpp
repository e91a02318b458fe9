#include "package/match_finder.h"

#include <algorithm>
#include <bit>

#include "package/match_length.h"

namespace brindle {

namespace {

// How many tree nodes one search may visit: beyond this the gain in match
// length no longer pays for the time.
constexpr unsigned kSearchDepth = 32;

std::uint32_t hash3(const std::uint8_t* p, unsigned shift) {
    return ((std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2]) * 0x9E3779B1u) >> shift;
}

std::uint32_t hash4(const std::uint8_t* p) {
    const std::uint32_t v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                            std::uint32_t(p[3]) << 24;
    return (v * 0x9E3779B1u) >> 8;
}

// A power of two of at least `count`, within [least, most].
std::uint32_t tableSlots(std::size_t count, std::uint32_t least, std::uint32_t most) {
    return std::uint32_t(std::clamp<std::size_t>(std::bit_ceil(std::max<std::size_t>(count, 1)), least, most));
}

}  // namespace

MatchFinder::MatchFinder(const std::uint8_t* data, std::size_t begin, std::size_t end, std::uint32_t window)
    : data_(data), end_(end), cycle_(std::min<std::size_t>(window, end - begin)) {
    // About one slot per position, so that small inputs set up small tables.
    const std::size_t reach = std::max<std::size_t>(cycle_, 1);
    const std::uint32_t slots2 = tableSlots(reach, 1 << 8, 1 << 16);
    const std::uint32_t slots3 = tableSlots(reach, 1 << 8, 1 << 16);
    const std::uint32_t slots4 = tableSlots(reach, 1 << 8, 1 << 22);
    hash2Mask_ = slots2 - 1;
    hash3Shift_ = 32 - unsigned(std::countr_zero(slots3));
    hash4Mask_ = slots4 - 1;
    head2_.assign(slots2, kNone);
    head3_.assign(slots3, kNone);
    head4_.assign(slots4, kNone);
    tree_.assign(2 * reach, kNone);
}

std::size_t MatchFinder::find(std::size_t position, Match* matches) {
    const std::size_t available = end_ - position;
    if (available < 2) return 0;
    const std::uint8_t* here = data_ + position;
    const std::uint32_t maxLength = std::uint32_t(std::min<std::size_t>(available, kNiceLength));
    std::size_t count = 0;
    std::uint32_t best = 1;

    // Below 64 Ki slots the two bytes share slots, so a match is checked.
    std::uint32_t& slot2 = head2_[(here[0] | here[1] << 8) & hash2Mask_];
    if (inWindow(position, slot2)) {
        const auto length = std::uint32_t(matchLength(here, data_ + slot2, maxLength));
        if (length >= 2) {
            best = length;
            matches[count++] = {length, std::uint32_t(position - slot2)};
        }
    }
    slot2 = std::uint32_t(position);
    if (available < 4) return count;

    std::uint32_t& slot3 = head3_[hash3(here, hash3Shift_)];
    if (inWindow(position, slot3)) {
        const auto length = std::uint32_t(matchLength(here, data_ + slot3, maxLength));
        if (length > best) {
            best = length;
            matches[count++] = {length, std::uint32_t(position - slot3)};
        }
    }
    slot3 = std::uint32_t(position);
    count += searchTree(position, maxLength, best, matches + count);
    if (++ringAt_ == cycle_) ringAt_ = 0;
    return count;
}

// Walks the tree from the latest position with the same four-byte hash,
// reporting each longer match, and re-roots the tree at `position`: the
// walk splits the visited nodes into those sorting before and after it.
// A link to a position that has left the window ends the walk, since its
// node has been reused.
std::size_t MatchFinder::searchTree(std::size_t position, std::uint32_t maxLength, std::uint32_t bestLength,
                                    Match* matches) {
    const std::uint8_t* here = data_ + position;
    std::uint32_t& root = head4_[hash4(here) & hash4Mask_];
    std::uint32_t candidate = root;
    root = std::uint32_t(position);

    // A node's first child leads to content sorting before it, the second after.
    std::uint32_t* lessLink = &tree_[2 * ringAt_];
    std::uint32_t* greaterLink = &tree_[2 * ringAt_ + 1];
    std::uint32_t lessLength = 0;
    std::uint32_t greaterLength = 0;
    std::size_t count = 0;
    for (unsigned depth = kSearchDepth;; --depth) {
        if (!inWindow(position, candidate) || depth == 0) {
            *lessLink = kNone;
            *greaterLink = kNone;
            break;
        }
        const std::size_t back = position - candidate;
        const std::uint8_t* there = data_ + candidate;
        std::uint32_t* children = &tree_[2 * (back <= ringAt_ ? ringAt_ - back : ringAt_ + cycle_ - back)];
        std::uint32_t length = std::min(lessLength, greaterLength);
        length += std::uint32_t(matchLength(here + length, there + length, maxLength - length));
        if (length > bestLength) {
            bestLength = length;
            matches[count++] = {length, std::uint32_t(back)};
        }
        if (length == maxLength) {
            // Equal as far as compared: the candidate's subtrees become ours.
            *lessLink = children[0];
            *greaterLink = children[1];
            break;
        }
        if (there[length] < here[length]) {
            *lessLink = candidate;
            lessLink = &children[1];
            candidate = *lessLink;
            lessLength = length;
        } else {
            *greaterLink = candidate;
            greaterLink = &children[0];
            candidate = *greaterLink;
            greaterLength = length;
        }
    }
    return count;
}

}  // namespace brindle
