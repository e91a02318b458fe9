#include "package/block_method.h"

#include "package/lzma_decoder.h"
#include "package/packed_block.h"
#include "package/unpack.h"

namespace brindle {

BlockMethod packedBlockMethod(const std::uint8_t* block, std::size_t length) {
    if (length < 2) return BlockMethod::Unknown;
    if (block[0] == kPackedMagic0 && block[1] == kPackedMagic1) return BlockMethod::Lz;
    if (block[0] == kLzmaMagic0 && block[1] == kLzmaMagic1) return BlockMethod::Lzma;
    return BlockMethod::Unknown;
}

const char* blockMethodName(BlockMethod method) {
    switch (method) {
        case BlockMethod::Raw: return "raw";
        case BlockMethod::Lz: return "lz";
        case BlockMethod::Lzma: return "lzma";
        case BlockMethod::Unknown: break;
    }
    return "unknown";
}

bool statedBlockSize(const std::uint8_t* block, std::size_t length, std::uint32_t& size) {
    LzmaBlockHeader header;
    switch (packedBlockMethod(block, length)) {
        case BlockMethod::Lz: return packedBlockSize(block, length, &size);
        case BlockMethod::Lzma:
            if (!readLzmaHeader(block, length, header)) return false;
            size = header.size;
            return true;
        default: return false;
    }
}

bool unpackBlock(const std::uint8_t* block, std::size_t length, std::uint8_t* destination, std::size_t capacity,
                 std::uint32_t& written) {
    written = 0;
    switch (packedBlockMethod(block, length)) {
        case BlockMethod::Lz: return unpack(block, length, destination, capacity, written);
        case BlockMethod::Lzma: return unpackLzma(block, length, destination, capacity, written);
        default: return false;
    }
}

}  // namespace brindle
