// Packed programs: a program and a loader made here as PE files are packed,
// loaded the way the system loads them (sections at their addresses, the
// base relocations applied for a base other than the preferred one) and
// restored by the loader's own step; the result must be the program as the
// system would have loaded it unpacked. Programs the packing cannot keep
// whole, and records or blocks that do not fit, are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "image-pack/image_packing.h"
#include "image-pack/pe_image.h"
#include "package/packed_block.h"
#include "package/packed_image.h"

namespace brindle {
namespace {

using Bytes = std::vector<std::uint8_t>;
using image_pack::PeImage;

constexpr std::uint32_t kProgramBase = 0x400000;
constexpr std::uint32_t kLoadedBase = 0x1230000;  // where the "system" puts the program
constexpr std::uint32_t kCode = 0x60000020;       // code, execute, read
constexpr std::uint32_t kData = 0xC0000040;       // initialised data, read, write
constexpr std::uint32_t kConstants = 0x40000040;  // initialised data, read

struct Section {
    std::string name;
    std::uint32_t rva;
    std::uint32_t virtualSize;
    Bytes raw;  // empty: zeroed memory only
    std::uint32_t characteristics;
};

struct Program {
    std::uint32_t base = kProgramBase;
    std::uint32_t sectionAlignment = 0x1000;
    std::uint32_t entry = 0;
    std::vector<Section> sections;
    std::vector<std::pair<unsigned, image_pack::PeDirectory>> directories;
};

std::uint32_t alignUp(std::uint32_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    if (bytes.size() < at + 4) bytes.resize(at + 4, 0);
    storeLe32(&bytes[at], value);
}

// A PE32 file as the linker writes one: headers in the first 0x400 bytes,
// raw data in 0x200-byte blocks.
Bytes peFile(const Program& program) {
    constexpr std::uint32_t kHeaders = 0x400;
    constexpr std::uint32_t kNt = 0x40;
    Bytes file(kHeaders, 0);
    file[0] = 'M';
    file[1] = 'Z';
    put32(file, 60, kNt);
    std::memcpy(&file[kNt], "PE\0\0", 4);
    file[kNt + 4] = 0x4C;
    file[kNt + 5] = 0x01;
    file[kNt + 6] = std::uint8_t(program.sections.size());
    file[kNt + 20] = 224;  // optional header size
    const std::uint32_t optional = kNt + 24;
    file[optional] = 0x0B;
    file[optional + 1] = 0x01;
    put32(file, optional + 16, program.entry);
    put32(file, optional + 28, program.base);
    put32(file, optional + 32, program.sectionAlignment);
    put32(file, optional + 36, 0x200);
    const Section& last = program.sections.back();
    put32(file, optional + 56, alignUp(last.rva + last.virtualSize, program.sectionAlignment));
    put32(file, optional + 60, kHeaders);
    put32(file, optional + 92, 16);
    for (const auto& [index, directory] : program.directories) {
        put32(file, optional + 96 + 8 * index, directory.rva);
        put32(file, optional + 100 + 8 * index, directory.size);
    }
    std::uint32_t header = optional + 224;
    for (const Section& section : program.sections) {
        std::memcpy(&file[header], section.name.data(), section.name.size());
        put32(file, header + 8, section.virtualSize);
        put32(file, header + 12, section.rva);
        if (!section.raw.empty()) {
            put32(file, header + 16, alignUp(std::uint32_t(section.raw.size()), 0x200));
            put32(file, header + 20, std::uint32_t(file.size()));
            file.insert(file.end(), section.raw.begin(), section.raw.end());
            file.resize(alignUp(std::uint32_t(file.size()), 0x200), 0);
        }
        put32(file, header + 36, section.characteristics);
        header += 40;
    }
    return file;
}

PeImage readImage(const Bytes& file) {
    PeImage image;
    std::string error;
    EXPECT_TRUE(image_pack::readPeImage(file, image, error)) << error;
    return image;
}

// What the system does before the entry runs: every section at its
// address, every base relocation moved to kLoadedBase.
Bytes loadAt(const Bytes& file, std::uint32_t loadedBase) {
    const PeImage image = readImage(file);
    Bytes mapped = image.mapped();
    std::vector<std::uint32_t> relocations;
    std::string error;
    EXPECT_TRUE(image_pack::readRelocations(image, mapped, relocations, error)) << error;
    for (const std::uint32_t rva : relocations)
        storeLe32(&mapped[rva], loadLe32(&mapped[rva]) + (loadedBase - image.imageBase));
    return mapped;
}

// A program like the runtime: code and data with addresses in them, then
// imports, resources and relocations, which the system reads at load.
Program sampleProgram() {
    Program program;
    Bytes code;
    for (int i = 0; i < 400; ++i) {
        const std::uint8_t instruction[] = {0x55, 0x8B, 0xEC, 0xE8, std::uint8_t(i), 0, 0, 0, 0xC3};
        code.insert(code.end(), std::begin(instruction), std::end(instruction));
    }
    put32(code, 0x10, kProgramBase + 0x2004);  // an address of the data
    Bytes data(0x300, 0x11);
    put32(data, 0x4, kProgramBase + 0x1000);  // an address of the code
    put32(data, 0x80, kProgramBase + 0x5008);  // an address of the resources
    // kernel32: GetModuleHandleA, GetProcAddress, ExitProcess; names from 0x100.
    Bytes imports(0x200, 0);
    const std::uint32_t at = 0x4000;
    put32(imports, 0, at + 0x40);    // lookup table
    put32(imports, 12, at + 0x100);  // library name
    put32(imports, 16, at + 0x60);   // slots
    const char* names[] = {"GetModuleHandleA", "GetProcAddress", "ExitProcess"};
    for (std::uint32_t i = 0; i < 3; ++i) {
        const std::uint32_t name = 0x120 + 0x20 * i;
        put32(imports, 0x40 + 4 * i, at + name);
        put32(imports, 0x60 + 4 * i, at + name);
        std::memcpy(&imports[name + 2], names[i], std::strlen(names[i]));
    }
    std::memcpy(&imports[0x100], "KERNEL32.dll", 12);
    const Bytes resources(0x90, 0x77);
    const Bytes relocations = image_pack::relocationTable({0x1010, 0x2004, 0x2080});
    program.entry = 0x1000;
    program.sections = {{".text", 0x1000, std::uint32_t(code.size()), code, kCode},
                        {".data", 0x2000, 0x300, data, kData},
                        {".bss", 0x3000, 0x48, {}, kData},
                        {".idata", 0x4000, 0x200, imports, kData},
                        {".rsrc", 0x5000, 0x90, resources, kConstants},
                        {".reloc", 0x6000, std::uint32_t(relocations.size()), relocations, kConstants}};
    program.directories = {{image_pack::kImportDirectory, {0x4000, 40}},
                           {image_pack::kImportAddressDirectory, {0x4060, 16}},
                           {image_pack::kResourceDirectory, {0x5000, 0x90}},
                           {image_pack::kRelocationDirectory, {0x6000, std::uint32_t(relocations.size())}}};
    return program;
}

// A loader as its own link leaves it: sections close together, an address
// of its record in its code, the record in its data, zeroed memory last.
Program sampleLoader() {
    Program loader;
    loader.base = 0x10000000;
    loader.sectionAlignment = 0x40;
    Bytes code(0x40, 0x90);
    put32(code, 0x8, loader.base + 0xC0);
    put32(code, 0xC, loader.base + 0x210);
    Bytes data(sizeof(PackedImageRecord), 0);
    std::memcpy(&data[0], kPackedImageMagic, sizeof kPackedImageMagic);
    const Bytes relocations = image_pack::relocationTable({0x88, 0x8C});
    loader.entry = 0x84;
    loader.sections = {{".text", 0x80, 0x40, code, kCode},
                       {".data", 0xC0, std::uint32_t(data.size()), data, kData},
                       {".bss", 0x200, 0x1000, {}, kData},
                       {".reloc", 0x1200, std::uint32_t(relocations.size()), relocations, kConstants}};
    loader.directories = {{image_pack::kRelocationDirectory, {0x1200, std::uint32_t(relocations.size())}}};
    return loader;
}

Bytes pack(const Program& program, const Program& loader, std::string& error) {
    return image_pack::packImage(readImage(peFile(program)), readImage(peFile(loader)), error);
}

PackedImageRecord recordIn(const Bytes& mapped) {
    PackedImageRecord record{};
    const auto magic =
        std::search(mapped.begin(), mapped.end(), std::begin(kPackedImageMagic), std::end(kPackedImageMagic));
    EXPECT_NE(magic, mapped.end());
    if (magic != mapped.end()) std::memcpy(&record, &*magic, sizeof record);
    return record;
}

TEST(PackedImage, RestoresTheProgramAsTheSystemWouldHaveLoadedIt) {
    for (const std::uint32_t loadedBase : {kProgramBase, kLoadedBase}) {
        SCOPED_TRACE(loadedBase);
        std::string error;
        const Bytes packed = pack(sampleProgram(), sampleLoader(), error);
        ASSERT_FALSE(packed.empty()) << error;
        const Bytes expected = loadAt(peFile(sampleProgram()), loadedBase);
        Bytes loaded = loadAt(packed, loadedBase);
        const PackedImageRecord record = recordIn(loaded);
        EXPECT_EQ(record.rangeRva, 0x1000u);
        EXPECT_EQ(record.rangeSize, 0x2048u);  // .text to the end of .bss

        // Before the loader runs the packed range is zeroed memory the loader may write.
        const PeImage image = readImage(packed);
        ASSERT_EQ(image.sections.size(), 8u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(image.sections[i].rawSize, 0u);
            EXPECT_EQ(image.sections[i].characteristics, 0xC0000080u);  // zeroed, read, write
            EXPECT_EQ(record.sections[i].characteristics, sampleProgram().sections[i].characteristics);
        }
        // The loader runs from a section it cannot write, and writes only its zeroed data.
        const image_pack::PeSection& loaderCode = image.sections[6];
        const image_pack::PeSection& loaderData = image.sections[7];
        EXPECT_EQ(loaderCode.characteristics, kCode);
        EXPECT_EQ(loaderData.characteristics, 0xC0000080u);
        EXPECT_EQ(loaderData.rawSize, 0u);
        EXPECT_EQ(loaderData.virtualSize, 0x1000u);
        EXPECT_EQ(image.entryRva, record.recordRva - 0x40 + 0x4);

        ASSERT_TRUE(restorePackedImage(loaded.data(), loadedBase, record));
        EXPECT_TRUE(std::equal(expected.begin() + 0x1000, expected.begin() + 0x6000, loaded.begin() + 0x1000));
        // The loader's addresses follow it: of its record, of its zeroed data.
        EXPECT_EQ(loadLe32(&loaded[record.recordRva - 0x40 + 0x8]), loadedBase + record.recordRva);
        EXPECT_EQ(loadLe32(&loaded[record.recordRva - 0x40 + 0xC]), loadedBase + loaderData.rva + 0x10);
        EXPECT_EQ(record.getModuleHandleSlot, 0x4060u);
        EXPECT_EQ(record.exitProcessSlot, 0x4068u);
        EXPECT_EQ(record.entryRva, 0x1000u);
    }
}

TEST(PackedImage, RefusesProgramsItCannotKeepWhole) {
    const auto withoutImport = [](Program program) {
        program.sections[3].raw[0x140 + 2 + 13] = 'X';  // GetProcAddresX
        return program;
    };
    const auto withDirectory = [](unsigned index) {
        Program program = sampleProgram();
        program.directories.push_back({index, {0x2000, 0x18}});
        return program;
    };
    const auto relocationsFirst = [] {
        Program program = sampleProgram();
        program.directories[3].second.rva = 0x1000;
        return program;
    };
    const auto loaderWithout = [] {
        Program loader = sampleLoader();
        loader.sections[1].raw[0] = 'X';
        return loader;
    };
    const struct {
        const char* what;
        Program program;
        Program loader;
        const char* error;
    } rows[] = {
        {"thread-local data", withDirectory(9), sampleLoader(), "data directory 9"},
        {"a load configuration", withDirectory(10), sampleLoader(), "data directory 10"},
        {"a signature", withDirectory(4), sampleLoader(), "data directory 4"},
        {"a missing import", withoutImport(sampleProgram()), sampleLoader(), "does not import"},
        {"relocations among the code", relocationsFirst(), sampleLoader(), "no sections to pack"},
        {"a loader without its record", sampleProgram(), loaderWithout(), "no record"},
    };
    for (const auto& row : rows) {
        std::string error;
        EXPECT_TRUE(pack(row.program, row.loader, error).empty()) << row.what;
        EXPECT_NE(error.find(row.error), std::string::npos) << row.what << ": " << error;
    }
}

TEST(PackedImage, RefusesRecordsAndBlocksThatDoNotFit) {
    std::string error;
    const Bytes packed = pack(sampleProgram(), sampleLoader(), error);
    ASSERT_FALSE(packed.empty()) << error;
    const Bytes loaded = loadAt(packed, kLoadedBase);
    const PackedImageRecord sound = recordIn(loaded);
    const auto changed = [&](auto change) {
        PackedImageRecord record = sound;
        change(record);
        return record;
    };
    const struct {
        const char* what;
        PackedImageRecord record;
        std::size_t damagedByte;  // 0: none
    } rows[] = {
        {"a changed block", sound, sound.blockRva + sound.blockSize / 2},
        {"a block cut short", changed([](auto& r) { r.blockSize /= 2; }), 0},
        {"a range larger than the block", changed([](auto& r) { r.rangeSize += 1; }), 0},
        {"a range beyond the image", changed([](auto& r) { r.rangeRva = r.imageSize - 4; }), 0},
        {"relocations beyond the image", changed([](auto& r) { r.relocationsSize = r.imageSize; }), 0},
        {"a relocation of another kind", sound, sound.relocationsRva + 9},
    };
    for (const auto& row : rows) {
        Bytes image = loaded;
        if (row.damagedByte != 0) image[row.damagedByte] ^= 0xA0;
        EXPECT_FALSE(restorePackedImage(image.data(), kLoadedBase, row.record)) << row.what;
    }
    Bytes image = loaded;
    EXPECT_TRUE(restorePackedImage(image.data(), kLoadedBase, sound));
}

}  // namespace
}  // namespace brindle
