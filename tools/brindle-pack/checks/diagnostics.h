#pragma once

#include <string>
#include <vector>

namespace brindle::tool {

// The problems found in a project, each printed as
// "file:line: error: message" or "file:line: warning: message", with
// ":column" behind the line where one character is meant, or without
// ":line" when the problem lies in no particular line.
class Diagnostics {
public:
    enum class Severity { Error, Warning };
    struct Entry {
        std::string file;
        int line = 0;    // 0: none
        int column = 0;  // in characters, from 1; 0: none
        Severity severity = Severity::Error;
        std::string message;
    };

    void error(const std::string& file, int line, const std::string& message);
    void warning(const std::string& file, int line, const std::string& message);
    void add(Severity severity, const std::string& file, int line, int column, const std::string& message);
    bool hasErrors() const;
    // On stderr, by file and line; warnings only when `withWarnings`.
    void print(bool withWarnings) const;

private:
    std::vector<Entry> entries_;
};

}  // namespace brindle::tool
