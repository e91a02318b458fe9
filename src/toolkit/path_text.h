// Small text helpers for Windows paths, shared by every subsystem.
#pragma once

#include <string>

namespace brindle {

// Appends "\" when the last character is not one; an empty path becomes "\".
inline std::string ensureTrailingBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

}  // namespace brindle
