// Layout of an LZMA block, the entropy-coded block method beside "JC":
//
//   0  "JL"
//   2  u32 unpacked size
//   6  u32 checksum of the unpacked bytes (blockChecksum), 0: none
//  10  u8  literal and position bits: (pb * 5 + lp) * 9 + lc, lc + lp <= 4
//  11  u32 dictionary size: no match reaches further back
//  15  u8  filter: 0 none, 2 x86 (x86_filter.h), applied before packing;
//          1 the x86 filter's first form, only read
//  16  u32 part length: the unpacked bytes of every part but the last
//  20  the parts, each a u32 packed length and that many bytes of LZMA
//      range-coded stream
//
// Each part starts a fresh coder state, while its matches may reach back
// into the parts before, so parts can be packed side by side. The decoder
// stops a part at its unpacked length; what the stream holds beyond (an end
// marker, which the packer does not write) is passed over.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brindle {

inline constexpr std::size_t kLzmaHeaderSize = 20;
inline constexpr std::uint8_t kLzmaMagic0 = 'J';
inline constexpr std::uint8_t kLzmaMagic1 = 'L';
inline constexpr std::uint8_t kNoFilter = 0;
inline constexpr std::uint8_t kX86FilterFirstForm = 1;  // only read (X86Form::First)
inline constexpr std::uint8_t kX86Filter = 2;
// The decoder's state grows with lc + lp; four is what the packer uses at most.
inline constexpr unsigned kLzmaMaxLiteralBits = 4;
inline constexpr unsigned kLzmaMaxPositionBits = 4;

struct LzmaBlockHeader {
    std::uint32_t size = 0;
    std::uint32_t checksum = 0;
    unsigned literalContextBits = 3;   // lc
    unsigned literalPositionBits = 0;  // lp
    unsigned positionBits = 2;         // pb
    std::uint32_t dictionarySize = 0;
    std::uint8_t filter = kNoFilter;
    std::uint32_t partLength = 0;
};

// False when `source` is too short, lacks the magic or states what the
// decoder does not take (lc + lp above 4, pb above 4, an unknown filter, an
// empty part length for content).
bool readLzmaHeader(const std::uint8_t* source, std::size_t sourceLength, LzmaBlockHeader& header);
void writeLzmaHeader(const LzmaBlockHeader& header, std::uint8_t out[kLzmaHeaderSize]);

// Applies (`forward`) or reverses the block's `filter` on data[0, length),
// whose first byte lies at `position` in the content; how many leading
// bytes are final, as convertX86() says (all of them without a filter).
std::size_t applyLzmaFilter(std::uint8_t filter, std::uint8_t* data, std::size_t length, std::uint32_t position,
                            bool forward);

}  // namespace brindle
