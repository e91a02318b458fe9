#include "package/packed_image.h"

#include "package/lzma_decoder.h"
#include "package/packed_block.h"

namespace brindle {
namespace {

constexpr unsigned kRelocationPadding = 0;  // IMAGE_REL_BASED_ABSOLUTE
constexpr unsigned kRelocationAddress = 3;  // IMAGE_REL_BASED_HIGHLOW
constexpr std::uint32_t kRelocationBlockHeader = 8;

bool within(std::uint32_t rva, std::uint32_t size, std::uint32_t imageSize) {
    return rva <= imageSize && size <= imageSize - rva;
}

// The relocations the system applied to the range went to zeroed memory;
// those of the rest of the image are left as the system made them.
bool relocateRange(std::uint8_t* image, std::uint32_t imageSize, std::uint32_t delta,
                   const PackedImageRecord& record) {
    const std::uint8_t* at = image + record.relocationsRva;
    const std::uint8_t* const end = at + record.relocationsSize;
    while (end - at >= std::ptrdiff_t(kRelocationBlockHeader)) {
        const std::uint32_t page = loadLe32(at);
        const std::uint32_t blockSize = loadLe32(at + 4);
        if (blockSize < kRelocationBlockHeader || blockSize % 2 != 0 || blockSize > std::uint32_t(end - at))
            return false;
        for (std::uint32_t i = kRelocationBlockHeader; i < blockSize; i += 2) {
            const unsigned entry = unsigned(at[i]) | unsigned(at[i + 1]) << 8;
            if (entry >> 12 == kRelocationPadding) continue;
            if (entry >> 12 != kRelocationAddress) return false;
            const std::uint32_t rva = page + (entry & 0xFFF);
            if (rva < page || !within(rva, 4, imageSize)) return false;
            if (rva >= record.rangeRva && rva - record.rangeRva < record.rangeSize) {
                if (!within(rva, 4, record.rangeRva + record.rangeSize)) return false;
                storeLe32(image + rva, loadLe32(image + rva) + delta);
            }
        }
        at += blockSize;
    }
    return at == end;
}

}  // namespace

bool restorePackedImage(std::uint8_t* image, std::uint32_t loadedBase, const PackedImageRecord& record) {
    const std::uint32_t imageSize = record.imageSize;
    if (!within(record.rangeRva, record.rangeSize, imageSize) ||
        !within(record.blockRva, record.blockSize, imageSize) ||
        !within(record.relocationsRva, record.relocationsSize, imageSize))
        return false;
    // The block is read while the range is written: they must not meet.
    if (record.blockRva < record.rangeRva + record.rangeSize && record.rangeRva < record.blockRva + record.blockSize)
        return false;
    std::uint32_t written = 0;
    if (!unpackLzma(image + record.blockRva, record.blockSize, image + record.rangeRva, record.rangeSize, written) ||
        written != record.rangeSize)
        return false;
    const std::uint32_t delta = loadedBase - record.preferredBase;
    return delta == 0 || relocateRange(image, imageSize, delta, record);
}

}  // namespace brindle
