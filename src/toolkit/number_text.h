// Numbers as fixed-width text (dates, keys, hexadecimal names), without the
// C library's formatting, which would bring a large formatter into the runtime.
#pragma once

#include <cstdint>
#include <string>

namespace brindle {

// `value` in base 10 or 16 (digits A-F in upper case), padded with zeros on
// the left to `width` digits; a value that needs more digits keeps them all.
inline std::string paddedNumber(std::uint32_t value, int width, unsigned base = 10) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789ABCDEF"[value % base]);
        value /= base;
    } while (value != 0);
    if (int(digits.size()) < width) digits.insert(0, std::size_t(width) - digits.size(), '0');
    return digits;
}

}  // namespace brindle
