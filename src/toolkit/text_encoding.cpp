#include "toolkit/text_encoding.h"

#include <cstdint>

namespace brindle {

Utf8Step decodeUtf8(const std::string& text, std::size_t& position, char32_t& code) {
    const auto lead = std::uint8_t(text[position]);
    const std::size_t length = lead < 0x80          ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0) return Utf8Step::Malformed;
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if (position + k >= text.size()) return Utf8Step::CutShort;
        const auto next = std::uint8_t(text[position + k]);
        if ((next & 0xC0) != 0x80) return Utf8Step::Malformed;
        value = value << 6 | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return Utf8Step::Malformed;
    code = value;
    position += length;
    return Utf8Step::Decoded;
}

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
        char32_t code = 0;
        switch (decodeUtf8(text, i, code)) {
            case Utf8Step::Decoded:
                if (code > 0xFF) return {};
                out += char(code);
                break;
            case Utf8Step::CutShort: return out;
            case Utf8Step::Malformed: return {};
        }
    }
    return out;
}

}  // namespace brindle
