#include "host/windows_names.h"

#include <string_view>

#include "package/entry_name.h"
#include "toolkit/text_encoding.h"

namespace brindle::tool {

namespace {
// Windows-1252 places these characters in 0x80..0x9F; 0 marks unused codes.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

std::optional<char> toWindows1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c && c != 0) return char(0x80 + i);
    return std::nullopt;
}

std::optional<std::string> toWindowsName(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        if (decodeUtf8(utf8, i, c) != Utf8Step::Decoded) return std::nullopt;
        const std::optional<char> mapped = toWindows1252(c);
        if (!mapped) return std::nullopt;
        out += *mapped;
    }
    return out;
}

std::string windowsNameProblem(const std::string& utf8) {
    const std::optional<std::string> name = toWindowsName(utf8);
    if (!name) return "holds a character that Windows-1252, the installer's code page, lacks";
    for (unsigned char c : *name)
        if (c < 0x20 || std::string_view("\\:*?\"<>|").find(char(c)) != std::string_view::npos)
            return "holds a character that Windows does not allow in names";
    if (!isSafeEntryName(*name)) return "is a device name or only dots";
    if (name->back() == '.' || name->back() == ' ') return "ends in a dot or blank, which Windows drops";
    return {};
}

std::string foldWindowsName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
            c = char(byte + 0x20);
        else if (byte == 0x8A || byte == 0x8C || byte == 0x8E)
            c = char(byte + 0x10);  // Š Œ Ž
        else if (byte == 0x9F)
            c = char(0xFF);  // Ÿ
    }
    return folded;
}

}  // namespace brindle::tool
