// How many bytes two places of a block have in common, eight at a time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace brindle {

inline std::size_t matchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) {
    std::size_t length = 0;
    while (length + 8 <= limit) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + length, 8);
        std::memcpy(&y, b + length, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little) {
                return length + std::size_t(std::countr_zero(x ^ y) / 8);
            } else {
                return length + std::size_t(std::countl_zero(x ^ y) / 8);
            }
        }
        length += 8;
    }
    while (length < limit && a[length] == b[length]) ++length;
    return length;
}

}  // namespace brindle
