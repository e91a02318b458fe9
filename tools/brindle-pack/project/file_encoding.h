#pragma once

#include <string>
#include <vector>

namespace brindle::tool {

// A settings or language file as the package stores it. The installer reads
// such files as 8-bit text in Windows-1252, so whatever the author's editor
// wrote is turned into that: Windows-1252 stays as it is; UTF-8 (with a byte
// order mark, or without one when it decodes as UTF-8 and is not plain
// ASCII) is converted, so that characters such as € or „“, which the
// installer's own reading of UTF-8 cannot hold, come out as typed.
struct FileEncoding {
    struct Problem {
        int line = 0;    // from 1
        int column = 0;  // in characters, from 1; 0: the whole line
        bool error = true;
        std::string message;
    };

    std::string text;         // Windows-1252, without a byte order mark
    bool converted = false;   // `text` differs from the file's bytes
    bool unreadable = false;  // not text at all: nothing in it can be checked
    std::vector<Problem> problems;
};

FileEncoding readEncoding(const std::string& content);

}  // namespace brindle::tool
