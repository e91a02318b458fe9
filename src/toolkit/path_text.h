// Small text helpers for paths and settings values, shared by every subsystem.
#pragma once

#include <string>

namespace brindle {

// Appends "\" when the last character is not one; an empty path becomes "\".
inline std::string ensureTrailingBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

// The one case fold of the system: A-Z as a-z, every other byte as it is.
// Windows compares names and extensions this way within ASCII.
inline char foldCase(char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; }
inline std::string foldCase(std::string text) {
    for (char& c : text) c = foldCase(c);
    return text;
}

// Text after the last "." when no "\" or "/" follows it, cut at a double
// quote; empty when there is no such ".".
inline std::string extensionOf(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    std::string extension = name.substr(dot + 1);
    if (extension.find_first_of("\\/") != std::string::npos) return {};
    return extension.substr(0, extension.find('"'));
}

// The name up to and including its last "\" or "/"; empty when there is none.
inline std::string pathPartOf(const std::string& name) {
    const std::size_t last = name.find_last_of("\\/");
    return last == std::string::npos ? std::string() : name.substr(0, last + 1);
}

// A folder that names its drive: a letter, ":" and "\", or a network share
// "\\server\share" (not the "\\.\" and "\\?\" device forms). Anything else
// would be taken relative to whatever folder or drive is current.
inline bool isAbsoluteFolder(const std::string& path) {
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
    if (path.size() < 5 || path[0] != '\\' || path[1] != '\\') return false;
    const std::size_t serverEnd = path.find('\\', 2);
    if (serverEnd == std::string::npos || serverEnd == 2) return false;
    const std::string server = path.substr(2, serverEnd - 2);
    if (server == "." || server == "?") return false;
    const std::size_t shareEnd = path.find('\\', serverEnd + 1);
    return (shareEnd == std::string::npos ? path.size() : shareEnd) > serverEnd + 1;
}

// The length of a path's root: "C:\" or "\\server\share\"; 0 for a path
// that names no drive or share.
inline std::size_t rootLength(const std::string& path) {
    if (!isAbsoluteFolder(path)) return 0;
    if (path[1] == ':') return 3;
    const std::size_t shareEnd = path.find('\\', path.find('\\', 2) + 1);
    return shareEnd == std::string::npos ? path.size() : shareEnd + 1;
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
