#pragma once

#include <cstddef>
#include <cstdint>

namespace brindle {

// The checksum a packed block carries for its unpacked bytes (0 for fewer
// than four bytes).
std::uint32_t blockChecksum(const std::uint8_t* data, std::size_t length);

}  // namespace brindle
