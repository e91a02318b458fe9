// The filter for x86 machine code that the LZMA block method applies before
// packing: the 32-bit relative target of a call (E8) or jump (E9) becomes
// absolute, so that calls to one function repeat the same four bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brindle {

// How the filter passes a call or jump whose operand it leaves alone.
enum class X86Form {
    // Its operand's bytes are taken for no opcode either: whatever a later
    // conversion changes, no earlier decision looked at it, so the reverse
    // finds the same instructions. The form the packer writes.
    SkipsOperands,
    // The next byte may be an opcode. A conversion there can change the
    // byte that decided against the first opcode, and the reverse then
    // converts where the filter did not: rare content does not come back
    // whole (the block's checksum catches it). Read for blocks made with it.
    First,
};

// Converts the instructions in data[0, length), whose first byte lies at
// `position` in the block, to absolute targets (`toAbsolute`) or back.
// Returns how many leading bytes are final: the rest (at most four) may
// start an instruction that runs on past `length`, and must come again at
// the front of the next piece, at `position` + the returned count.
std::size_t convertX86(std::uint8_t* data, std::size_t length, std::uint32_t position, bool toAbsolute,
                       X86Form form);

}  // namespace brindle
