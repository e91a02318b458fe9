// A program whose own code and data travel as one LZMA block, restored in
// place before anything of it runs. The packer (tools/image-pack) leaves the
// headers, the import table, the resources and the base relocations as they
// are, so the system loads and binds the program as it was linked; the
// sections before them (code, data, constants) become zeroed memory of the
// same size and protection RW, and a small loader appended behind them
// (src/loader: a section that is read and run, and one for its zeroed data,
// read and written) decodes the block into that range, applies the
// relocations that fall into it, gives each section its own protection back
// and jumps to the program's entry. No page is writable and executable at
// once. The record below is the loader's, filled in by the packer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/packed_block.h"

namespace brindle {

inline constexpr char kPackedImageMagic[8] = {'B', 'r', 'n', 'd', 'l', 'P', 'k', '1'};
inline constexpr std::size_t kPackedImageSections = 8;

struct PackedImageSection {
    std::uint32_t rva;
    std::uint32_t size;
    std::uint32_t characteristics;  // as linked: what the section's pages become
};

struct PackedImageRecord {
    char magic[8];
    std::uint32_t recordRva;      // where this record lies: the loader finds the image's base by it
    std::uint32_t preferredBase;  // the base the program was linked for
    std::uint32_t imageSize;      // as the system maps it
    std::uint32_t rangeRva;       // the range the block restores
    std::uint32_t rangeSize;
    std::uint32_t blockRva;       // the LZMA block
    std::uint32_t blockSize;
    std::uint32_t relocationsRva;  // the image's base relocations
    std::uint32_t relocationsSize;
    std::uint32_t entryRva;       // the program's own entry
    // Slots of the program's import table, bound by the system before the
    // loader runs: the loader imports nothing itself.
    std::uint32_t getModuleHandleSlot;  // kernel32 GetModuleHandleA
    std::uint32_t getProcAddressSlot;   // kernel32 GetProcAddress
    std::uint32_t exitProcessSlot;      // kernel32 ExitProcess
    std::uint32_t sectionCount;
    PackedImageSection sections[kPackedImageSections];
};
static_assert(sizeof(PackedImageRecord) == 64 + 12 * kPackedImageSections);

// A base relocation table: blocks of a 4 KiB page's address, the block's
// size and 16-bit entries, each a kind (the top 4 bits) and an offset.
inline constexpr unsigned kRelocationPadding = 0;  // IMAGE_REL_BASED_ABSOLUTE
inline constexpr unsigned kRelocationAddress = 3;  // IMAGE_REL_BASED_HIGHLOW, a 32-bit address
inline constexpr std::uint32_t kRelocationBlockHeader = 8;

// Calls `visit(rva)` for each 32-bit address the relocation table of `size`
// bytes at `table` names, passing over padding entries; false when a block
// runs past the table, an entry is of another kind or an address would
// pass 4 GiB, and when `visit` returns false.
template <typename Visit>
bool forEachRelocation(const std::uint8_t* table, std::uint32_t size, Visit visit) {
    const std::uint8_t* at = table;
    const std::uint8_t* const end = table + size;
    while (end - at >= std::ptrdiff_t(kRelocationBlockHeader)) {
        const std::uint32_t page = loadLe32(at);
        const std::uint32_t blockSize = loadLe32(at + 4);
        if (blockSize < kRelocationBlockHeader || blockSize % 2 != 0 || blockSize > std::uint32_t(end - at))
            return false;
        for (std::uint32_t i = kRelocationBlockHeader; i < blockSize; i += 2) {
            const unsigned entry = loadLe16(at + i);
            if (entry >> 12 == kRelocationPadding) continue;
            const std::uint32_t rva = page + (entry & 0xFFF);
            if (entry >> 12 != kRelocationAddress || rva < page || !visit(rva)) return false;
        }
        at += blockSize;
    }
    return at == end;
}

// Restores the range of the image of `record.imageSize` bytes at `image`,
// loaded at address `loadedBase`: decodes the block into the range and adds
// to each address the relocations place in it how far `loadedBase` lies
// from the preferred base.
// False, with nothing promised about the range, when the block does not
// decode to exactly the range, a relocation block is malformed or of a kind
// other than a 32-bit address, or any of it lies outside the image.
bool restorePackedImage(std::uint8_t* image, std::uint32_t loadedBase, const PackedImageRecord& record);

}  // namespace brindle
