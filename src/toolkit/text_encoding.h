// UTF-8 against the 8-bit text of the runtime, whose byte values are taken
// as the code points U+0000 to U+00FF. The one UTF-8 decoder of the system.
#pragma once

#include <cstddef>
#include <string>

namespace brindle {

enum class Utf8Step {
    Decoded,    // `code` holds the character, `position` is past it
    Malformed,  // a bad lead or continuation byte, an overlong form or a surrogate
    CutShort,   // the text ends inside a sequence whose bytes so far are sound
};

// Decodes the character at `position`; `position` moves only on Decoded.
Utf8Step decodeUtf8(const std::string& text, std::size_t& position, char32_t& code);

std::string latin1ToUtf8(const std::string& text);

// Empty when the text holds a character above U+00FF or a malformed
// sequence; an incomplete sequence at the very end is dropped.
std::string utf8ToLatin1(const std::string& text);

}  // namespace brindle
