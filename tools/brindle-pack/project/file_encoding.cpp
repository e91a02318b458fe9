#include "project/file_encoding.h"

#include <algorithm>

#include "toolkit/text_encoding.h"

namespace brindle::tool {

namespace {
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

int lineAt(const std::string& text, std::size_t at) {
    return 1 + int(std::count(text.begin(), text.begin() + std::ptrdiff_t(at), '\n'));
}

bool isValidUtf8(const std::string& text) {
    char32_t code = 0;
    for (std::size_t at = 0; at < text.size();)
        if (decodeUtf8(text, at, code) != Utf8Step::Decoded) return false;
    return true;
}

// The first line whose text is lost in the installer's reading of UTF-8,
// which keeps only U+0000 to U+00FF and reads the rest of such a value as empty.
int firstLineBeyondLatin1(const std::string& text) {
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        if (utf8ToLatin1(line).empty() && line.find_first_not_of(" \t\r") != std::string::npos)
            return lineAt(text, start);
        start = end + 1;
    }
    return 0;
}
}  // namespace

FileEncoding readEncoding(const std::string& content) {
    FileEncoding encoding;
    encoding.utf8 = content.compare(0, 3, kByteOrderMark) == 0;
    encoding.text = encoding.utf8 ? content.substr(3) : content;
    const std::string& text = encoding.text;
    if (content.compare(0, 2, "\xFF\xFE") == 0 || content.compare(0, 2, "\xFE\xFF") == 0 ||
        text.find('\0') != std::string::npos) {
        encoding.problemLine = 1;
        encoding.unreadable = true;
        encoding.problem = "file is UTF-16 or binary; save it as Windows-1252 or as UTF-8 with a byte order mark";
    } else if (encoding.utf8) {
        encoding.problemLine = firstLineBeyondLatin1(text);
        if (encoding.problemLine)
            encoding.problem =
                "holds a character beyond U+00FF or malformed UTF-8; the installer reads this "
                "line's text as empty";
    } else if (const auto high =
                   std::find_if(text.begin(), text.end(), [](char c) { return (unsigned char)c >= 0x80; });
               high != text.end() && isValidUtf8(text)) {
        encoding.problemLine = lineAt(text, std::size_t(high - text.begin()));
        encoding.problem =
            "file is UTF-8 without a byte order mark; the installer reads it as Windows-1252, so "
            "accented letters come out garbled; add the byte order mark";
    }
    return encoding;
}

}  // namespace brindle::tool
