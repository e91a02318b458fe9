// Entry names as the tool prints them. A name comes from the package, which
// may be hostile: control characters in it could forge lines of output or
// drive the terminal.
#pragma once

#include <string>

namespace brindle::tool {

// The name with every control character (0x00-0x1F, 0x7F), every byte that
// Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) and "<"
// written as "<XX>", two upper-case hexadecimal digits. Windows allows no
// "<" in names, so ordinary names print unchanged and an escape is never
// ambiguous.
std::string printableName(const std::string& name);

}  // namespace brindle::tool
