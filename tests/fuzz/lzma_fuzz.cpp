// Feeds arbitrary LZMA blocks to the decoder, from memory and as a stream in
// small pieces: neither may read or write outside its buffers, and both must
// come to the same outcome with the same content.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "package/lzma_decoder.h"
#include "../piece_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the size of the stream's pieces.
    if (size < 1) return 0;
    const std::size_t piece = data[0] % 16 + 1;
    std::vector<std::uint8_t> block(data + 1, data + size);  // exact size, so the sanitizer sees overruns
    brindle::LzmaBlockHeader header;
    if (!brindle::readLzmaHeader(block.data(), block.size(), header)) return 0;
    // Outputs below 64 KiB, as in the other decoder's target.
    if (header.size >= (1u << 16)) return 0;
    const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[header.size]);
    std::uint32_t written = 0;
    const bool sound = brindle::unpackLzma(block.data(), block.size(), out.get(), header.size, written);
    if (sound ? written != header.size : written != 0) std::abort();

    brindle::test::PieceSource source(block.data(), block.size(), piece);
    brindle::test::CollectingSink sink;
    const brindle::StreamOutcome streamed = brindle::streamLzma(header, source, sink);
    if ((streamed == brindle::StreamOutcome::Done) != sound) std::abort();
    if (sound && (sink.bytes.size() != written ||
                  (written != 0 && std::memcmp(sink.bytes.data(), out.get(), written) != 0)))
        std::abort();
    return 0;
}
