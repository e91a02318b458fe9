#pragma once

#include <string>

namespace brindle::tool {

// How the installer reads a settings or language file: 8-bit text
// (Windows-1252), or UTF-8 when it begins with a byte order mark.
struct FileEncoding {
    bool utf8 = false;
    std::string text;     // the content without its byte order mark
    int problemLine = 0;  // the first line the installer would misread, 0: none
    std::string problem;
    bool unreadable = false;  // not text at all: nothing in it can be checked
};

FileEncoding readEncoding(const std::string& content);

}  // namespace brindle::tool
