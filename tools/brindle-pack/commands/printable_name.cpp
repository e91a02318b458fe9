#include "commands/printable_name.h"

namespace brindle::tool {

namespace {
bool needsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D || c == '<';
}
}  // namespace

std::string printableName(const std::string& name) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (!needsEscape(byte)) {
            out += c;
            continue;
        }
        out += '<';
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
        out += '>';
    }
    return out;
}

}  // namespace brindle::tool
