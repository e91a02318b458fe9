// Layout of a packed block: "JC", unpacked size, checksum, then the bit
// stream as 32-bit little-endian words read most significant bit first.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brindle {

inline constexpr std::size_t kPackedHeaderSize = 10;
inline constexpr std::uint8_t kPackedMagic0 = 'J';
inline constexpr std::uint8_t kPackedMagic1 = 'C';

// No match the packer writes reaches this far back (8 MiB).
inline constexpr std::uint32_t kLzMatchReach = std::uint32_t(1) << 23;

// Long matches get a length bonus by how far back they reach; these are the
// offsets at which the bonus changes.
inline unsigned longMatchBonus(std::uint32_t offset) {
    // Comparisons summed rather than branched on: the decoder meets a new
    // offset with every long match, and which band it falls in is anyone's guess.
    return 4 * unsigned(offset < 0x80) + unsigned(offset >= 0x27F) + unsigned(offset >= 0x37FF) +
           unsigned(offset >= 0x10000);
}

inline std::uint16_t loadLe16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

inline std::uint32_t loadLe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

inline void storeLe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

}  // namespace brindle
