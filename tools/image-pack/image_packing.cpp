#include "image_packing.h"

#include <algorithm>
#include <cstring>

#include "package/lzma_pack.h"
#include "package/packed_block.h"
#include "package/packed_image.h"

namespace brindle::image_pack {
namespace {

std::uint32_t alignUp(std::uint32_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

bool holdsDirectory(const PeSection& section, const PeDirectory& directory) {
    return directory.size != 0 && directory.rva >= section.rva && directory.rva < section.rva + section.virtualSize;
}

// What the system reads before the loader runs, which stays as it is: the
// import table it binds, the resources it may show, the relocations. A
// packed program has no other data directory.
constexpr unsigned kReadAtLoad[] = {kImportDirectory, kResourceDirectory, kRelocationDirectory,
                                    kImportAddressDirectory};

bool readAtLoad(const PeImage& program, const PeSection& section) {
    return std::any_of(std::begin(kReadAtLoad), std::end(kReadAtLoad),
                       [&](unsigned index) { return holdsDirectory(section, program.directories[index]); });
}

// The loader as its own link laid it out (its sections close together):
// the bytes its file holds, from its first section on, then its zeroed data,
// which go to a section of their own, the only one it writes.
struct LoaderImage {
    std::vector<std::uint8_t> stored;
    std::uint32_t firstRva = 0;   // of `stored`
    std::uint32_t zeroedRva = 0;  // of the zeroed data
    std::uint32_t zeroedSize = 0;
};

bool flattenLoader(const PeImage& loader, LoaderImage& flat, std::vector<std::uint32_t>& relocations,
                   std::string& error) {
    const std::vector<std::uint8_t> mapped = loader.mapped();
    if (!readRelocations(loader, mapped, relocations, error)) return false;
    // The linker writes an import table even when it holds no library.
    const PeDirectory imports = loader.directories[kImportDirectory];
    if (imports.size != 0 && (imports.rva + 16 > mapped.size() || loadLe32(&mapped[imports.rva + 12]) != 0))
        return error = "the loader imports functions", false;
    std::uint32_t storedEnd = 0;
    for (const PeSection& section : loader.sections) {
        if (holdsDirectory(section, loader.directories[kRelocationDirectory]) || holdsDirectory(section, imports))
            continue;
        if (section.rawSize == 0) {
            if (flat.zeroedSize != 0) return error = "the loader has zeroed data in two places", false;
            flat.zeroedRva = section.rva;
            flat.zeroedSize = section.virtualSize;
            continue;
        }
        if (flat.zeroedSize != 0) return error = "the loader's zeroed data do not come last", false;
        if (storedEnd == 0) flat.firstRva = section.rva;
        storedEnd = section.rva + std::min(section.rawSize, section.virtualSize);
    }
    if (storedEnd == 0) return error = "the loader has no code", false;
    flat.stored.assign(mapped.begin() + flat.firstRva, mapped.begin() + storedEnd);
    for (const std::uint32_t rva : relocations)
        if (rva < flat.firstRva || rva + 4 > storedEnd)
            return error = "a loader relocation outside its stored bytes", false;
    return true;
}

// Moves the loader from its own link into the program's image: its stored
// bytes to `storedTo`, its zeroed data to `zeroedTo`.
void moveLoader(LoaderImage& flat, const std::vector<std::uint32_t>& relocations, std::uint32_t loaderBase,
                std::uint32_t programBase, std::uint32_t storedTo, std::uint32_t zeroedTo,
                std::vector<std::uint32_t>& programRelocations) {
    for (const std::uint32_t rva : relocations) {
        std::uint8_t* at = &flat.stored[rva - flat.firstRva];
        const std::uint32_t target = loadLe32(at) - loaderBase;
        const bool zeroed = flat.zeroedSize != 0 && target >= flat.zeroedRva;
        const std::uint32_t moved = zeroed ? zeroedTo + (target - flat.zeroedRva) : storedTo + (target - flat.firstRva);
        storeLe32(at, programBase + moved);
        programRelocations.push_back(storedTo + (rva - flat.firstRva));
    }
}

void writeSectionHeader(std::vector<std::uint8_t>& file, std::uint32_t at, const PeSection& section) {
    std::memset(&file[at], 0, kSectionHeaderSize);
    std::memcpy(&file[at], section.name.data(), std::min<std::size_t>(section.name.size(), 8));
    storeLe32(&file[at + 8], section.virtualSize);
    storeLe32(&file[at + 12], section.rva);
    storeLe32(&file[at + 16], section.rawSize);
    storeLe32(&file[at + 20], section.rawOffset);
    storeLe32(&file[at + 36], section.characteristics);
}

std::vector<std::uint8_t> refuse(std::string& error, std::string why) {
    error = std::move(why);
    return {};
}

}  // namespace

std::vector<std::uint8_t> packImage(const PeImage& program, const PeImage& loader, std::string& error) {
    for (unsigned index = 0; index < kDirectoryCount; ++index) {
        const bool kept = std::find(std::begin(kReadAtLoad), std::end(kReadAtLoad), index) != std::end(kReadAtLoad);
        if (!kept && program.directories[index].size != 0)
            return refuse(error, "the program has data directory " + std::to_string(index) +
                                     ", which the packed program could not keep");
    }
    const auto firstKept = std::find_if(program.sections.begin(), program.sections.end(),
                                        [&](const PeSection& section) { return readAtLoad(program, section); });
    if (firstKept == program.sections.begin() || firstKept == program.sections.end())
        return refuse(error, "no sections to pack before those read at load");
    const PeSection& relocationSection = program.sections.back();
    if (relocationSection.rva != program.directories[kRelocationDirectory].rva)
        return refuse(error, "the relocations are not the program's last section");
    if (!std::all_of(firstKept, program.sections.end(),
                     [&](const PeSection& section) { return readAtLoad(program, section); }))
        return refuse(error, "a section to pack lies behind one read at load");
    const std::size_t packedCount = std::size_t(firstKept - program.sections.begin());
    if (packedCount > kPackedImageSections) return refuse(error, "too many sections to pack");

    const std::vector<std::uint8_t> mapped = program.mapped();
    std::vector<std::uint32_t> relocations;
    if (!readRelocations(program, mapped, relocations, error)) return {};
    PackedImageRecord record{};
    record.preferredBase = program.imageBase;
    record.entryRva = program.entryRva;
    record.rangeRva = program.sections.front().rva;
    record.rangeSize = firstKept[-1].rva + firstKept[-1].virtualSize - record.rangeRva;
    const PeDirectory imports = program.directories[kImportDirectory];
    record.getModuleHandleSlot = importSlot(mapped, imports, "kernel32.dll", "GetModuleHandleA");
    record.getProcAddressSlot = importSlot(mapped, imports, "kernel32.dll", "GetProcAddress");
    record.exitProcessSlot = importSlot(mapped, imports, "kernel32.dll", "ExitProcess");
    if (record.getModuleHandleSlot == 0 || record.getProcAddressSlot == 0 || record.exitProcessSlot == 0)
        return refuse(error, "the program does not import GetModuleHandleA, GetProcAddress and ExitProcess");
    record.sectionCount = std::uint32_t(packedCount);
    for (std::size_t i = 0; i < packedCount; ++i) {
        const PeSection& section = program.sections[i];
        record.sections[i] = {section.rva, section.virtualSize, section.characteristics};
    }
    const std::vector<std::uint8_t> block = packLzma(&mapped[record.rangeRva], record.rangeSize);
    if (block.empty()) return refuse(error, "the encoder failed");

    LoaderImage flat;
    std::vector<std::uint32_t> loaderRelocations;
    if (!flattenLoader(loader, flat, loaderRelocations, error)) return {};
    const auto magic = std::search(flat.stored.begin(), flat.stored.end(), std::begin(kPackedImageMagic),
                                   std::end(kPackedImageMagic));
    if (std::distance(magic, flat.stored.end()) < std::ptrdiff_t(sizeof record))
        return refuse(error, "the loader has no record");
    const std::uint32_t recordOffset = std::uint32_t(magic - flat.stored.begin());

    // Behind the relocations' table, which the loader's relocations join:
    // the loader's section, read and run only (the block, then the loader's
    // code and constants), then its zeroed data.
    const std::uint32_t relocationRva = relocationSection.rva;
    const std::size_t relocationRoom =
        relocationTable(relocations).size() + 12 * loaderRelocations.size();  // a block per loader address at most
    const std::uint32_t loaderRva = alignUp(relocationRva + std::uint32_t(relocationRoom), program.sectionAlignment);
    const std::uint32_t loaderAt = alignUp(std::uint32_t(block.size()), 64);
    const std::uint32_t loaderSize = loaderAt + std::uint32_t(flat.stored.size());
    const std::uint32_t zeroedRva = alignUp(loaderRva + loaderSize, program.sectionAlignment);
    moveLoader(flat, loaderRelocations, loader.imageBase, program.imageBase, loaderRva + loaderAt, zeroedRva,
               relocations);
    const std::vector<std::uint8_t> relocationBytes = relocationTable(relocations);

    record.blockRva = loaderRva;
    record.blockSize = std::uint32_t(block.size());
    record.relocationsRva = relocationRva;
    record.relocationsSize = std::uint32_t(relocationBytes.size());
    record.recordRva = loaderRva + loaderAt + recordOffset;
    record.imageSize = flat.zeroedSize != 0 ? alignUp(zeroedRva + flat.zeroedSize, program.sectionAlignment) : zeroedRva;
    std::memcpy(record.magic, kPackedImageMagic, sizeof record.magic);
    std::memcpy(&flat.stored[recordOffset], &record, sizeof record);
    std::vector<std::uint8_t> loaderBytes = block;
    loaderBytes.resize(loaderAt, 0);
    loaderBytes.insert(loaderBytes.end(), flat.stored.begin(), flat.stored.end());

    // The packed sections keep their addresses and sizes as zeroed memory
    // the loader may write; the rest keep their bytes.
    struct Placed {
        PeSection header;
        const std::uint8_t* bytes;
    };
    std::vector<Placed> placed;
    for (auto section = program.sections.begin(); section != firstKept; ++section) {
        PeSection header = *section;
        header.rawOffset = header.rawSize = 0;
        header.characteristics = kUninitialisedSection | kReadableSection | kWritableSection;
        placed.push_back({header, nullptr});
    }
    for (auto section = firstKept; section != program.sections.end() - 1; ++section) {
        PeSection header = *section;
        header.rawSize = std::min(header.rawSize, header.virtualSize);
        placed.push_back({header, &mapped[header.rva]});
    }
    PeSection relocationHeader = relocationSection;
    relocationHeader.virtualSize = relocationHeader.rawSize = record.relocationsSize;
    placed.push_back({relocationHeader, relocationBytes.data()});
    placed.push_back(
        {{".unpack", loaderRva, loaderSize, 0, loaderSize, kCodeSection | kExecutableSection | kReadableSection},
         loaderBytes.data()});
    if (flat.zeroedSize != 0)
        placed.push_back({{".unpackz", zeroedRva, flat.zeroedSize, 0, 0,
                           kUninitialisedSection | kReadableSection | kWritableSection},
                          nullptr});

    const std::uint32_t tableEnd = program.sectionTableOffset + std::uint32_t(placed.size()) * kSectionHeaderSize;
    if (tableEnd > program.sizeOfHeaders) return refuse(error, "no room for another section header");
    std::vector<std::uint8_t> file(program.file.begin(), program.file.begin() + program.sizeOfHeaders);
    std::memset(&file[program.sectionTableOffset], 0, program.sizeOfHeaders - program.sectionTableOffset);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        PeSection& header = placed[i].header;
        if (header.rawSize != 0) {
            header.rawOffset = std::uint32_t(file.size());
            file.insert(file.end(), placed[i].bytes, placed[i].bytes + header.rawSize);
            header.rawSize = alignUp(header.rawSize, program.fileAlignment);
            file.resize(header.rawOffset + header.rawSize, 0);
        }
        writeSectionHeader(file, program.sectionTableOffset + std::uint32_t(i) * kSectionHeaderSize, header);
    }
    file[program.ntOffset + 6] = std::uint8_t(placed.size());
    file[program.ntOffset + 7] = std::uint8_t(placed.size() >> 8);
    std::uint8_t* optional = &file[program.optionalOffset];
    storeLe32(optional + kOptionalEntryField, loaderRva + loaderAt + (loader.entryRva - flat.firstRva));
    storeLe32(optional + kOptionalSizeOfImageField, record.imageSize);
    storeLe32(optional + kOptionalChecksumField, 0);
    storeLe32(optional + kOptionalDirectoriesField + 8 * kRelocationDirectory, relocationRva);
    storeLe32(optional + kOptionalDirectoriesField + 8 * kRelocationDirectory + 4, record.relocationsSize);
    return file;
}

}  // namespace brindle::image_pack
