#include "project/file_encoding.h"

#include <algorithm>
#include <cstdio>

#include "host/windows_names.h"
#include "toolkit/text_encoding.h"

namespace brindle::tool {

namespace {
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// CR LF, CR or LF ends a line, as the installer reads lines.
bool endsLine(const std::string& text, std::size_t at) {
    return text[at] == '\n' || (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'));
}

int lineAt(const std::string& text, std::size_t at) {
    int line = 1;
    for (std::size_t i = 0; i < at; ++i) line += endsLine(text, i);
    return line;
}

bool isValidUtf8(const std::string& text) {
    char32_t code = 0;
    for (std::size_t at = 0; at < text.size();)
        if (decodeUtf8(text, at, code) != Utf8Step::Decoded) return false;
    return true;
}

std::string codePoint(char32_t code) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", unsigned(code));
    return name;
}

// Converts UTF-8 `text` into Windows-1252, reporting the first character of
// each line that has no place there (or is no UTF-8) with its column.
void convertUtf8(const std::string& text, FileEncoding& encoding) {
    int line = 1, column = 1, lineReported = 0;
    const auto report = [&](const std::string& message) {
        if (lineReported == line) return;
        lineReported = line;
        encoding.problems.push_back({line, column, true, message});
    };
    for (std::size_t at = 0; at < text.size(); ++column) {
        const std::size_t start = at;
        char32_t code = 0;
        if (decodeUtf8(text, at, code) != Utf8Step::Decoded) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X", unsigned(static_cast<unsigned char>(text[at])));
            report(std::string("byte ") + byte + " is no UTF-8; save the file as UTF-8 or as Windows-1252");
            ++at;
            continue;
        }
        if (const std::optional<char> byte = toWindows1252(code)) {
            encoding.text += *byte;
        } else {
            const std::string character(text, start, at - start);
            report('"' + character + "\" (" + codePoint(code) +
                   ") has no place in Windows-1252, the installer's code page");
        }
        if (endsLine(text, start)) {
            ++line;
            column = 0;
        }
    }
}
}  // namespace

FileEncoding readEncoding(const std::string& content) {
    FileEncoding encoding;
    const bool byteOrderMark = content.compare(0, 3, kByteOrderMark) == 0;
    const std::string text = byteOrderMark ? content.substr(3) : content;
    if (content.compare(0, 2, "\xFF\xFE") == 0 || content.compare(0, 2, "\xFE\xFF") == 0 ||
        text.find('\0') != std::string::npos) {
        encoding.unreadable = true;
        encoding.problems.push_back(
            {1, 0, true, "file is UTF-16 or binary; save it as Windows-1252 or as UTF-8"});
        return encoding;
    }
    const auto high = std::find_if(text.begin(), text.end(), [](char c) { return (unsigned char)c >= 0x80; });
    if (!byteOrderMark && (high == text.end() || !isValidUtf8(text))) {
        encoding.text = text;  // ASCII or Windows-1252: stored as it is
        return encoding;
    }
    if (!byteOrderMark)
        encoding.problems.push_back({lineAt(text, std::size_t(high - text.begin())), 0, false,
                                     "file is UTF-8 without a byte order mark; brindle-pack reads it as UTF-8 and "
                                     "stores it as Windows-1252, the installer's code page"});
    encoding.converted = true;
    convertUtf8(text, encoding);
    return encoding;
}

}  // namespace brindle::tool
