// An operand is converted only when its top byte is 00 or FF (a target within
// 16 MiB either way, as calls inside one program are), and the conversion
// works modulo 2^25 and keeps that form; and no decision looks at a byte
// that a later conversion changes (X86Form::SkipsOperands). So the filter
// and its reverse see the same operands as convertible, and each undoes the
// other exactly, whatever the bytes.
#include "package/x86_filter.h"

#include "package/packed_block.h"

namespace brindle {

namespace {
inline bool nearTarget(std::uint8_t top) { return top == 0x00 || top == 0xFF; }
// The low 25 bits, with bit 24 copied into the top byte.
inline std::uint32_t near25(std::uint32_t value) { return std::uint32_t(std::int32_t(value << 7) >> 7); }
}  // namespace

std::size_t convertX86(std::uint8_t* data, std::size_t length, std::uint32_t position, bool toAbsolute,
                       X86Form form) {
    const std::size_t passedOperand = form == X86Form::SkipsOperands ? 4 : 1;
    std::size_t at = 0;
    while (at + 5 <= length) {
        if ((data[at] & 0xFE) != 0xE8) {
            ++at;
            continue;
        }
        if (!nearTarget(data[at + 4])) {
            at += passedOperand;
            continue;
        }
        const std::uint32_t next = position + std::uint32_t(at) + 5;  // where a relative target counts from
        const std::uint32_t operand = loadLe32(data + at + 1);
        storeLe32(data + at + 1, near25(toAbsolute ? operand + next : operand - next));
        at += 5;
    }
    return at;
}

}  // namespace brindle
