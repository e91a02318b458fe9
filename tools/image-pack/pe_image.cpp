#include "pe_image.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "package/packed_block.h"
#include "package/packed_image.h"

namespace brindle::image_pack {
namespace {

constexpr std::uint16_t kMachineI386 = 0x14C;
constexpr std::uint16_t kPe32Magic = 0x10B;

// The NUL-terminated text at `rva`, or "" when it runs off the image.
std::string textAt(const std::vector<std::uint8_t>& mapped, std::uint32_t rva) {
    if (rva >= mapped.size()) return "";
    const auto* begin = reinterpret_cast<const char*>(mapped.data() + rva);
    const std::size_t length = strnlen(begin, mapped.size() - rva);
    return rva + length < mapped.size() ? std::string(begin, length) : "";
}

}  // namespace

std::vector<std::uint8_t> PeImage::mapped() const {
    std::vector<std::uint8_t> image(sizeOfImage, 0);
    std::copy_n(file.begin(), std::min<std::size_t>(sizeOfHeaders, image.size()), image.begin());
    for (const PeSection& section : sections) {
        const std::uint32_t length = std::min(section.rawSize, section.virtualSize);
        std::copy_n(file.begin() + section.rawOffset, length, image.begin() + section.rva);
    }
    return image;
}

bool readPeImage(std::vector<std::uint8_t> file, PeImage& image, std::string& error) {
    image = PeImage{};
    const auto fits = [&](std::uint64_t offset, std::uint64_t length) { return offset + length <= file.size(); };
    if (!fits(0, 64) || file[0] != 'M' || file[1] != 'Z') return error = "not a Windows program", false;
    image.ntOffset = loadLe32(&file[60]);
    if (!fits(image.ntOffset, 24) || std::memcmp(&file[image.ntOffset], "PE\0\0", 4) != 0)
        return error = "no PE header", false;
    const std::uint8_t* header = &file[image.ntOffset + 4];
    const unsigned sectionCount = loadLe16(header + 2);
    const unsigned optionalSize = loadLe16(header + 16);
    image.optionalOffset = image.ntOffset + 24;
    image.sectionTableOffset = image.optionalOffset + optionalSize;
    if (loadLe16(header) != kMachineI386 || optionalSize < kOptionalDirectoriesField + 8 * kDirectoryCount ||
        !fits(image.optionalOffset, optionalSize) || loadLe16(&file[image.optionalOffset]) != kPe32Magic)
        return error = "not a 32-bit program for x86", false;
    const std::uint8_t* optional = &file[image.optionalOffset];
    image.entryRva = loadLe32(optional + kOptionalEntryField);
    image.imageBase = loadLe32(optional + 28);
    image.sectionAlignment = loadLe32(optional + 32);
    image.fileAlignment = loadLe32(optional + 36);
    image.sizeOfImage = loadLe32(optional + kOptionalSizeOfImageField);
    image.sizeOfHeaders = loadLe32(optional + 60);
    if (loadLe32(optional + 92) < kDirectoryCount) return error = "fewer than 16 data directories", false;
    for (unsigned i = 0; i < kDirectoryCount; ++i)
        image.directories[i] = {loadLe32(optional + kOptionalDirectoriesField + 8 * i),
                                loadLe32(optional + kOptionalDirectoriesField + 8 * i + 4)};
    if (!fits(image.sectionTableOffset, std::uint64_t(sectionCount) * kSectionHeaderSize))
        return error = "section table outside the file", false;
    std::uint32_t nextRva = 0;
    for (unsigned i = 0; i < sectionCount; ++i) {
        const std::uint8_t* raw = &file[image.sectionTableOffset + i * kSectionHeaderSize];
        PeSection section;
        section.name.assign(reinterpret_cast<const char*>(raw), strnlen(reinterpret_cast<const char*>(raw), 8));
        section.virtualSize = loadLe32(raw + 8);
        section.rva = loadLe32(raw + 12);
        section.rawSize = loadLe32(raw + 16);
        section.rawOffset = loadLe32(raw + 20);
        section.characteristics = loadLe32(raw + 36);
        if (section.rva < nextRva || std::uint64_t(section.rva) + section.virtualSize > image.sizeOfImage ||
            !fits(section.rawOffset, section.rawSize))
            return error = "section " + section.name + " out of order or outside the image", false;
        nextRva = section.rva + section.virtualSize;
        image.sections.push_back(section);
    }
    if (image.sizeOfHeaders > image.sizeOfImage || !fits(0, image.sizeOfHeaders))
        return error = "headers larger than the image", false;
    image.file = std::move(file);
    return true;
}

bool readRelocations(const PeImage& image, const std::vector<std::uint8_t>& mapped, std::vector<std::uint32_t>& rvas,
                     std::string& error) {
    rvas.clear();
    const PeDirectory table = image.directories[kRelocationDirectory];
    if (std::uint64_t(table.rva) + table.size > mapped.size()) return error = "relocations outside the image", false;
    const bool sound = forEachRelocation(&mapped[table.rva], table.size, [&](std::uint32_t rva) {
        rvas.push_back(rva);
        return true;
    });
    if (!sound) return error = "a relocation block runs past its table or names what is not a 32-bit address", false;
    return true;
}

std::vector<std::uint8_t> relocationTable(std::vector<std::uint32_t> rvas) {
    std::sort(rvas.begin(), rvas.end());
    rvas.erase(std::unique(rvas.begin(), rvas.end()), rvas.end());
    std::vector<std::uint8_t> table;
    for (auto first = rvas.begin(); first != rvas.end();) {
        const std::uint32_t page = *first & ~0xFFFu;
        const auto last = std::find_if(first, rvas.end(), [&](std::uint32_t rva) { return (rva & ~0xFFFu) != page; });
        const std::size_t count = std::size_t(last - first);
        const std::size_t padded = count + count % 2;  // blocks keep 4-byte alignment
        const std::size_t at = table.size();
        table.resize(at + 8 + 2 * padded, 0);
        storeLe32(&table[at], page);
        storeLe32(&table[at + 4], std::uint32_t(8 + 2 * padded));
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t entry = kRelocationAddress << 12 | (first[i] & 0xFFF);
            table[at + 8 + 2 * i] = std::uint8_t(entry);
            table[at + 9 + 2 * i] = std::uint8_t(entry >> 8);
        }
        first = last;
    }
    return table;
}

std::uint32_t importSlot(const std::vector<std::uint8_t>& mapped, const PeDirectory& imports, const std::string& library,
                         const std::string& function) {
    constexpr std::uint32_t kDescriptorSize = 20;
    for (std::uint64_t at = imports.rva; at + kDescriptorSize <= mapped.size(); at += kDescriptorSize) {
        const std::uint32_t lookup = loadLe32(&mapped[at]);
        const std::uint32_t name = loadLe32(&mapped[at + 12]);
        const std::uint32_t slots = loadLe32(&mapped[at + 16]);
        if (name == 0 && slots == 0) break;
        if (strcasecmp(textAt(mapped, name).c_str(), library.c_str()) != 0) continue;
        const std::uint32_t names = lookup != 0 ? lookup : slots;
        for (std::uint32_t i = 0; std::uint64_t(names) + 4 * i + 4 <= mapped.size(); ++i) {
            const std::uint32_t entry = loadLe32(&mapped[names + 4 * i]);
            if (entry == 0) break;
            if (!(entry & 0x80000000u) && textAt(mapped, entry + 2) == function) return slots + 4 * i;
        }
    }
    return 0;
}

}  // namespace brindle::image_pack
