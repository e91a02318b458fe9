#pragma once

#include <optional>
#include <string>

namespace brindle::tool {

// Turns a host file name (UTF-8) into the 8-bit Windows code page the
// runtime uses (Windows-1252); nothing when a character has no place there.
std::optional<std::string> toWindowsName(const std::string& utf8);

}  // namespace brindle::tool
