#include "package/packed_image.h"

#include "package/lzma_decoder.h"

namespace brindle {
namespace {

bool within(std::uint32_t rva, std::uint32_t size, std::uint32_t imageSize) {
    return rva <= imageSize && size <= imageSize - rva;
}

// The relocations the system applied to the range went to zeroed memory;
// those of the rest of the image are left as the system made them.
bool relocateRange(std::uint8_t* image, std::uint32_t imageSize, std::uint32_t delta,
                   const PackedImageRecord& record) {
    const std::uint32_t rangeEnd = record.rangeRva + record.rangeSize;
    return forEachRelocation(image + record.relocationsRva, record.relocationsSize, [&](std::uint32_t rva) {
        if (!within(rva, 4, imageSize)) return false;
        if (rva >= record.rangeRva && rva - record.rangeRva < record.rangeSize) {
            if (!within(rva, 4, rangeEnd)) return false;
            storeLe32(image + rva, loadLe32(image + rva) + delta);
        }
        return true;
    });
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
