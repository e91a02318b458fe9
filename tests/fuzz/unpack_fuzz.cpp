// Feeds arbitrary blocks to the decoder: it must never read or write outside
// its buffers, whatever it accepts must be exactly the stated size, its two
// bit buffers must give the same outcome, and a block streamed through a
// sliding window must come out as it does whole.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "package/unpack.h"
#include "../piece_source.h"

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

    // Streamed in small pieces through a window that slides every few bytes,
    // a block either comes out as it does whole or is refused (a match beyond
    // what the window holds); through a window that holds it all, exactly as
    // it does whole.
    if (stated > capacity) return 0;
    const std::size_t reach = std::size_t(16) << (slack >> 6);
    const std::size_t head = std::min(block.size(), brindle::kLzmaHeaderSize);
    for (const std::size_t piece : {std::size_t(1 + (slack >> 3 & 7)), std::size_t(stated) + 1}) {
        brindle::test::PieceSource source(block.data(), block.size(), 1 + (slack >> 3 & 3));
        brindle::test::CollectingSink sink;
        const brindle::StreamOutcome streamed =
            brindle::streamLzWithBuffer<std::uint32_t>(block.data(), head, source, sink, {reach, piece, 0});
        if (streamed == brindle::StreamOutcome::Done) {
            if (!sound || sink.bytes.size() != written ||
                (written != 0 && std::memcmp(sink.bytes.data(), out.get(), written) != 0))
                std::abort();
        } else if (streamed != brindle::StreamOutcome::Damaged || (sound && piece > stated)) {
            std::abort();
        }
    }
    return 0;
}
