#include "config/text_encoding.h"

#include <cstdint>

namespace brindle {

std::string latin1ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char byte : text) {
        const auto c = std::uint8_t(byte);
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string utf8ToLatin1(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = std::uint8_t(text[i]);
        if (lead < 0x80) {
            out += char(lead);
            ++i;
            continue;
        }
        const std::size_t length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0) return {};
        if (i + length > text.size()) {
            // Cut short at the very end: dropped when what is there is sound.
            for (std::size_t k = i + 1; k < text.size(); ++k)
                if ((std::uint8_t(text[k]) & 0xC0) != 0x80) return {};
            break;
        }
        std::uint32_t code = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = std::uint8_t(text[i + k]);
            if ((next & 0xC0) != 0x80) return {};
            code = code << 6 | (next & 0x3F);
        }
        if (code > 0xFF || (length == 2 && code < 0x80)) return {};  // too high, or an overlong form
        out += char(code);
        i += length;
    }
    return out;
}

}  // namespace brindle
