#pragma once

#include <optional>
#include <string>

namespace brindle::tool {

// The byte of a character in Windows-1252, the 8-bit code page the runtime
// uses; nothing when the character has no place there.
std::optional<char> toWindows1252(char32_t c);

// Turns a host file name (UTF-8) into the 8-bit Windows code page the
// runtime uses (Windows-1252); nothing when a character has no place there.
std::optional<std::string> toWindowsName(const std::string& utf8);

// Why Windows cannot hold a file or folder name (one component, UTF-8), or
// empty when it can.
std::string windowsNameProblem(const std::string& utf8);

// A Windows-1252 name as Windows compares names: letters without case,
// accented ones included.
std::string foldWindowsName(const std::string& name);

}  // namespace brindle::tool
