// A stored block's method: raw when its entry's stored size equals its size,
// otherwise told by the block's two-byte signature. Every method ever
// written stays readable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brindle {

enum class BlockMethod {
    Raw,      // the content as it is
    Lz,       // "JC": unpack.h
    Lzma,     // "JL": lzma_decoder.h
    Unknown,  // no signature this reader knows
};

BlockMethod packedBlockMethod(const std::uint8_t* block, std::size_t length);
const char* blockMethodName(BlockMethod method);

// The unpacked size a packed block of either method states; false when the
// block is too short or of no known method.
bool statedBlockSize(const std::uint8_t* block, std::size_t length, std::uint32_t& size);

// Unpacks a packed block of either method from memory into memory, with
// unpack()'s contract.
bool unpackBlock(const std::uint8_t* block, std::size_t length, std::uint8_t* destination, std::size_t capacity,
                 std::uint32_t& written);

}  // namespace brindle
