// Decimal numbers as the settings files write them.
#pragma once

#include <cstdint>
#include <string>

namespace brindle {

// Leading blanks and tabs (and other white space) skipped, an optional sign,
// then the digits up to the first other character; no digit gives 0. Values
// beyond 32 bits wrap, so "2147483649" reads as 0x80000001.
inline std::int32_t parseDecimal(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r' ||
                                text[at] == '\v' || text[at] == '\f'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    std::uint32_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) value = value * 10 + std::uint32_t(text[at] - '0');
    return std::int32_t(negative ? 0u - value : value);
}

}  // namespace brindle
