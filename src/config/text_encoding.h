// The 8-bit text of the runtime against UTF-8 files: byte values are taken
// as the code points U+0000 to U+00FF.
#pragma once

#include <string>

namespace brindle {

std::string latin1ToUtf8(const std::string& text);

// Empty when the text holds a character above U+00FF or a malformed
// sequence; an incomplete sequence at the very end is dropped.
std::string utf8ToLatin1(const std::string& text);

}  // namespace brindle
