// The size in bits of each code of the packed stream, and which one-byte codes
// apply at a position. The parser weighs choices with these; the planners and
// the writer rely on the same limits.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "package/packed_block.h"

namespace brindle {

inline constexpr std::uint32_t kUnreachableBits = 0x3fffffff;

inline constexpr std::uint32_t kShortMatchMaxOffset = 127;
inline constexpr std::uint32_t kShortMatchMaxLength = 5;
inline constexpr std::uint32_t kNearCopyMaxOffset = 14;
inline constexpr std::uint32_t kDefaultIndexWidth = 8;
// Widths beyond this would only serve offsets no block reaches.
inline constexpr unsigned kLargestIndexWidth = 24;

inline constexpr unsigned kShortMatchBits = 3 + 7 + 2;
inline constexpr unsigned kByteCodeBits = 3 + 4;  // zero byte or one-byte copy
inline constexpr unsigned kWideLiteralBits = 1 + 8;
inline constexpr unsigned kNarrowLiteralBits = 1 + 7;
inline constexpr unsigned kWideModeCodeBits = 3 + 4 + 1 + 1;
inline constexpr unsigned kNarrowModeCodeBits = kWideModeCodeBits + 8;
inline constexpr unsigned kRawRunCodeBits = 3 + 4 + 1;
inline constexpr std::uint32_t kRawChunkLength = 256;
inline constexpr unsigned kRawChunkBits = kRawChunkLength * 8 + 1;

// What a code costs the decoder beyond its bits, stated in bits, so that the
// parse trades a little size for fewer codes. A literal that follows a
// literal is taken by the literal loop; every other code, a literal that
// starts a run included, goes through the decoder's branch on its kind,
// which text makes hard to predict. At this charge the parse writes a
// one-byte code only where no literal run goes on around it and a two-byte
// match only where it saves more than a literal run would: text packs 2 %
// larger and decodes about 14 % faster (docs/measurements.md).
inline constexpr unsigned kDispatchCharge = 5;

// Bits of the gamma code of `value` (at least 2).
inline unsigned gammaBits(std::uint32_t value) { return 2 * (std::bit_width(value) - 1); }

inline unsigned repeatMatchBits(std::uint32_t length) { return 2 + gammaBits(2) + gammaBits(length); }

inline unsigned longMatchOffsetBits(std::uint32_t offset, unsigned indexWidth) {
    return gammaBits((offset >> indexWidth) + 3) + indexWidth;
}

inline bool isShortMatch(std::uint32_t offset, std::uint32_t length) {
    return offset <= kShortMatchMaxOffset && length <= kShortMatchMaxLength;
}

// A match of at least two bytes that sets the last offset: the short code when
// it fits, else the long code, which cannot express lengths below its bonus + 2.
inline std::uint32_t matchBits(std::uint32_t offset, std::uint32_t length, unsigned indexWidth) {
    if (isShortMatch(offset, length)) return kShortMatchBits;
    const unsigned bonus = longMatchBonus(offset);
    if (length < bonus + 2) return kUnreachableBits;
    return 2 + longMatchOffsetBits(offset, indexWidth) + gammaBits(length - bonus);
}

// Bits of the value field of the index-width code: 4, 5 or 6.
inline unsigned indexWidthFieldBits(unsigned width) { return width < 16 ? 4 : width < 32 ? 5 : 6; }

inline unsigned indexWidthCodeBits(unsigned width) { return 3 + 7 + 2 + indexWidthFieldBits(width); }

// The nearest offset (1 to 14) holding the same byte as `position`, or 0.
inline std::uint32_t nearCopyOffset(const std::uint8_t* data, std::size_t position) {
    const std::uint32_t reach = position < kNearCopyMaxOffset ? std::uint32_t(position) : kNearCopyMaxOffset;
    for (std::uint32_t offset = 1; offset <= reach; ++offset) {
        if (data[position - offset] == data[position]) return offset;
    }
    return 0;
}

// Whether the zero-byte code or a one-byte copy can produce this byte.
inline bool hasByteCode(const std::uint8_t* data, std::size_t position) {
    return data[position] == 0 || nearCopyOffset(data, position) != 0;
}

}  // namespace brindle
