#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brindle {

// Packs `length` bytes into a packed block (header, checksum and bit stream)
// that unpack() turns back into the same bytes.
std::vector<std::uint8_t> pack(const std::uint8_t* data, std::size_t length);

}  // namespace brindle
