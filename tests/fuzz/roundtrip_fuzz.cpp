// Packs arbitrary data and unpacks it again, and runs the x86 filter over
// it and back: the bytes must come back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "package/pack.h"
#include "package/unpack.h"
#include "package/x86_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> block = brindle::pack(data, size);
    std::vector<std::uint8_t> out(size + 1);  // never empty: a null destination is refused
    std::uint32_t written = 0;
    if (!brindle::unpack(block.data(), block.size(), out.data(), size, written) || written != size ||
        (size != 0 && std::memcmp(out.data(), data, size) != 0))
        std::abort();
    std::vector<std::uint8_t> filtered(data, data + size);
    brindle::convertX86(filtered.data(), size, std::uint32_t(size), true, brindle::X86Form::SkipsOperands);
    brindle::convertX86(filtered.data(), size, std::uint32_t(size), false, brindle::X86Form::SkipsOperands);
    if (size != 0 && std::memcmp(filtered.data(), data, size) != 0) std::abort();
    return 0;
}
