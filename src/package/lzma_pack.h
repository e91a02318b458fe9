// The packing side of the LZMA block method, on liblzma's encoder (the
// tools only: the runtime decodes with lzma_decoder.h). A block is packed
// in parts (of kLzmaPartLength unless a test asks for less), each from the
// content as the filter left it, with the dictionary's reach of content
// before it as history, so parts can be packed side by side and the result
// depends only on the content. A part re-reads its history, so parts are
// several dictionaries long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/lzma_block.h"

namespace brindle {

inline constexpr std::size_t kLzmaPartLength = std::size_t(96) << 20;

// How a block of given content is packed: its header but for the checksum.
LzmaBlockHeader lzmaPlanFor(const std::uint8_t* data, std::size_t length);

// Whether the x86 filter makes the content clearly smaller: judged on
// samples spread over it. Programs that call their own functions gain; a
// tree of many similar programs can lose, as the filter turns the calls
// they share into absolute targets that differ from copy to copy.
bool x86FilterPays(const std::uint8_t* data, std::size_t length);

// The packed stream of part `index` of the filtered content; empty when the
// encoder fails (out of memory).
std::vector<std::uint8_t> packLzmaPart(const LzmaBlockHeader& plan, const std::uint8_t* filtered, std::size_t length,
                                       std::size_t index);

// The block from its header (with the checksum) and its parts, in order.
std::vector<std::uint8_t> joinLzmaParts(const LzmaBlockHeader& header,
                                        const std::vector<std::vector<std::uint8_t>>& parts);

// The whole block of `length` bytes, parts packed one after the other.
std::vector<std::uint8_t> packLzma(const std::uint8_t* data, std::size_t length);
// The same under a given plan (its size must be `length`).
std::vector<std::uint8_t> packLzma(LzmaBlockHeader plan, const std::uint8_t* data, std::size_t length);

}  // namespace brindle
