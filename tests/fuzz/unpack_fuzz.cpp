// Feeds arbitrary blocks to the decoder: it must never read or write outside
// its buffers, whatever it accepts must be exactly the stated size, and its
// two bit buffers must give the same outcome.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "package/unpack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the room the caller offers, around the stated size.
    if (size < 1) return 0;
    const std::uint8_t slack = data[0];
    ++data;
    --size;
    std::uint32_t stated = 0;
    if (!brindle::packedBlockSize(data, size, &stated)) return 0;
    // Outputs stay below 64 KiB, so that the sanitizer's allocator serves them
    // from its pools: mapping a fresh megabyte each run cost more than the
    // decoding. Longer outputs are the round-trip target's and the unit tests'.
    const std::size_t capacity = stated % (1u << 16) + (slack & 7);
    // Exact-size heap buffers, so that the sanitizer sees any overrun; the
    // output is left uninitialised.
    std::vector<std::uint8_t> block(data, data + size);
    const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[capacity]);
    std::uint32_t written = 0;
    const bool sound = brindle::unpackWithBuffer<std::uint64_t>(block.data(), block.size(), out.get(), capacity, written);
    if (sound ? written != stated : written != 0) std::abort();
    // The 32-bit bit buffer (i686) must agree block for block and byte for byte.
    const std::unique_ptr<std::uint8_t[]> out32(new std::uint8_t[capacity]);
    std::uint32_t written32 = 0;
    const bool sound32 =
        brindle::unpackWithBuffer<std::uint32_t>(block.data(), block.size(), out32.get(), capacity, written32);
    if (sound32 != sound || written32 != written) std::abort();
    if (sound && std::memcmp(out.get(), out32.get(), written) != 0) std::abort();
    return 0;
}
