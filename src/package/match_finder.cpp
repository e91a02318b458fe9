#include "package/match_finder.h"

#include <algorithm>

#include "package/match_length.h"

namespace brindle {

namespace {

constexpr std::uint32_t kNone = 0xffffffffu;
// How many tree nodes one search may visit: beyond this the gain in match
// length no longer pays for the time.
constexpr unsigned kSearchDepth = 32;
constexpr unsigned kHash3Bits = 16;

std::uint32_t hash3(const std::uint8_t* p) {
    return ((std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2]) * 0x9E3779B1u) >> (32 - kHash3Bits);
}

std::uint32_t hash4(const std::uint8_t* p) {
    const std::uint32_t v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                            std::uint32_t(p[3]) << 24;
    return (v * 0x9E3779B1u) >> 8;
}

}  // namespace

MatchFinder::MatchFinder(const std::uint8_t* data, std::size_t length)
    : data_(data), length_(length), head2_(1 << 16, kNone), head3_(1 << kHash3Bits, kNone) {
    // One hash slot per position or so, within 64 Ki to 4 Mi slots.
    std::uint32_t slots = 1 << 16;
    while (slots < length && slots < (1u << 22)) slots <<= 1;
    hash4Mask_ = slots - 1;
    head4_.assign(slots, kNone);
    tree_.assign(2 * length, kNone);
}

std::size_t MatchFinder::find(std::size_t position, Match* matches) {
    const std::size_t available = length_ - position;
    if (available < 2) return 0;
    const std::uint8_t* here = data_ + position;
    const std::uint32_t maxLength = std::uint32_t(std::min<std::size_t>(available, kNiceLength));
    std::size_t count = 0;
    std::uint32_t best = 1;

    std::uint32_t& slot2 = head2_[here[0] | here[1] << 8];
    if (slot2 != kNone) {
        best = std::uint32_t(matchLength(here, data_ + slot2, maxLength));
        matches[count++] = {best, std::uint32_t(position - slot2)};
    }
    slot2 = std::uint32_t(position);
    if (available < 4) return count;

    std::uint32_t& slot3 = head3_[hash3(here)];
    if (slot3 != kNone) {
        const auto length = std::uint32_t(matchLength(here, data_ + slot3, maxLength));
        if (length > best) {
            best = length;
            matches[count++] = {length, std::uint32_t(position - slot3)};
        }
    }
    slot3 = std::uint32_t(position);
    return count + searchTree(position, maxLength, best, matches + count);
}

// Walks the tree from the latest position with the same four-byte hash,
// reporting each longer match, and re-roots the tree at `position`: the
// walk splits the visited nodes into those sorting before and after it.
std::size_t MatchFinder::searchTree(std::size_t position, std::uint32_t maxLength, std::uint32_t bestLength,
                                    Match* matches) {
    const std::uint8_t* here = data_ + position;
    std::uint32_t& root = head4_[hash4(here) & hash4Mask_];
    std::uint32_t candidate = root;
    root = std::uint32_t(position);

    // A node's first child leads to content sorting before it, the second after.
    std::uint32_t* lessLink = &tree_[2 * position];
    std::uint32_t* greaterLink = &tree_[2 * position + 1];
    std::uint32_t lessLength = 0;
    std::uint32_t greaterLength = 0;
    std::size_t count = 0;
    for (unsigned depth = kSearchDepth;; --depth) {
        if (candidate == kNone || depth == 0) {
            *lessLink = kNone;
            *greaterLink = kNone;
            break;
        }
        const std::uint8_t* there = data_ + candidate;
        std::uint32_t* children = &tree_[2 * std::size_t(candidate)];
        std::uint32_t length = std::min(lessLength, greaterLength);
        length += std::uint32_t(matchLength(here + length, there + length, maxLength - length));
        if (length > bestLength) {
            bestLength = length;
            matches[count++] = {length, std::uint32_t(position - candidate)};
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
