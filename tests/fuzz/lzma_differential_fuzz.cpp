// Our LZMA decoder against liblzma's on arbitrary raw LZMA streams of a
// known size: whatever liblzma decodes, ours must decode to the same bytes.
// Ours may refuse more (liblzma also checks that the range coder ends
// clean, which a block's parts do not ask), never less, never other bytes.
#include <lzma.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "package/lzma_decoder.h"
#include "package/packed_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Input: the properties byte, the unpacked size (two bytes), the stream.
    if (size < 3) return 0;
    const unsigned properties = data[0];
    const unsigned lc = properties % 9, lp = properties / 9 % 5, pb = properties / 45;
    if (lc + lp > brindle::kLzmaMaxLiteralBits || pb > brindle::kLzmaMaxPositionBits) return 0;
    const std::uint32_t unpacked = std::uint32_t(data[1]) | std::uint32_t(data[2]) << 8;
    const std::uint8_t* stream = data + 3;
    const std::size_t streamLength = size - 3;
    constexpr std::uint32_t kDictionary = 1u << 20;  // beyond any output: both bound distances by what was written

    lzma_options_lzma options{};
    options.dict_size = kDictionary;
    options.lc = lc;
    options.lp = lp;
    options.pb = pb;
    options.ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
    options.ext_size_low = unpacked;
    options.ext_size_high = 0;
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::vector<std::uint8_t> reference(unpacked + 1);
    std::size_t in = 0, out = 0;
    const lzma_ret result = lzma_raw_buffer_decode(filters, nullptr, stream, &in, streamLength, reference.data(), &out,
                                                   reference.size());
    const bool referenceSound = result == LZMA_OK && out == unpacked;

    // The same stream as the one part of a block.
    std::vector<std::uint8_t> block(brindle::kLzmaHeaderSize + 4);
    brindle::LzmaBlockHeader header;
    header.size = unpacked;
    header.literalContextBits = lc;
    header.literalPositionBits = lp;
    header.positionBits = pb;
    header.dictionarySize = kDictionary;
    header.partLength = 1u << 16;
    brindle::writeLzmaHeader(header, block.data());
    brindle::storeLe32(block.data() + brindle::kLzmaHeaderSize, std::uint32_t(streamLength));
    block.insert(block.end(), stream, stream + streamLength);
    if (unpacked == 0) block.resize(brindle::kLzmaHeaderSize);  // no content, no part
    const std::unique_ptr<std::uint8_t[]> ours(new std::uint8_t[unpacked]);
    std::uint32_t written = 0;
    const bool sound = brindle::unpackLzma(block.data(), block.size(), ours.get(), unpacked, written);

    if (referenceSound && !sound) std::abort();
    if (referenceSound && unpacked != 0 && std::memcmp(ours.get(), reference.data(), unpacked) != 0) std::abort();
    return 0;
}
