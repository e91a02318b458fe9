// The SHA-256 of a text, from the platform's cryptographic provider: the
// installer records it for a file that others could change, and the
// uninstaller compares.
#pragma once

#include <string>

namespace brindle {

// 64 lower-case hexadecimal digits; empty when the platform cannot tell.
std::string sha256Text(const std::string& bytes);

}  // namespace brindle
