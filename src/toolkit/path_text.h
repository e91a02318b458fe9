// Small text helpers for paths and settings values, shared by every subsystem.
#pragma once

#include <string>

namespace brindle {

// Appends "\" when the last character is not one; an empty path becomes "\".
inline std::string ensureTrailingBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

// The text after the last "." of a file name, in upper case ASCII; empty
// without a ".". Windows compares extensions without regard to case.
inline std::string upperExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    for (char& c : extension) c = char(c >= 'a' && c <= 'z' ? c - 32 : c);
    return extension;
}

// The text without the blanks and tabs at both ends.
inline std::string trimBlanks(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// Field `index` (counted from 1) of a list whose fields are separated by
// `separator`; a missing field is empty.
inline std::string field(const std::string& text, char separator, std::size_t index) {
    std::size_t start = 0;
    for (std::size_t i = 1; i < index; ++i) {
        start = text.find(separator, start);
        if (start == std::string::npos) return {};
        ++start;
    }
    return text.substr(start, text.find(separator, start) - start);
}

}  // namespace brindle
