// A 32-bit Windows program read from its file: what the image packer needs
// of its headers, sections, base relocations and import table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace brindle::image_pack {

struct PeSection {
    std::string name;
    std::uint32_t rva = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t characteristics = 0;
};

struct PeDirectory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};

enum PeDirectoryIndex : unsigned {
    kExportDirectory = 0,
    kImportDirectory = 1,
    kResourceDirectory = 2,
    kRelocationDirectory = 5,
    kImportAddressDirectory = 12,
    kDirectoryCount = 16,
};

struct PeImage {
    std::vector<std::uint8_t> file;
    std::uint32_t ntOffset = 0;          // of "PE\0\0"
    std::uint32_t optionalOffset = 0;    // of the optional header
    std::uint32_t sectionTableOffset = 0;
    std::uint32_t imageBase = 0;
    std::uint32_t entryRva = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t sizeOfImage = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::array<PeDirectory, kDirectoryCount> directories{};
    std::vector<PeSection> sections;  // in the order of their addresses

    // The image as the system maps it: headers and each section's raw data
    // at its address, zeros elsewhere.
    std::vector<std::uint8_t> mapped() const;
};

inline constexpr std::uint32_t kOptionalEntryField = 16;
inline constexpr std::uint32_t kOptionalSizeOfImageField = 56;
inline constexpr std::uint32_t kOptionalChecksumField = 64;
inline constexpr std::uint32_t kOptionalDirectoriesField = 96;
inline constexpr std::uint32_t kSectionHeaderSize = 40;
inline constexpr std::uint32_t kCodeSection = 0x00000020;
inline constexpr std::uint32_t kInitialisedSection = 0x00000040;
inline constexpr std::uint32_t kUninitialisedSection = 0x00000080;
inline constexpr std::uint32_t kDiscardableSection = 0x02000000;
inline constexpr std::uint32_t kExecutableSection = 0x20000000;
inline constexpr std::uint32_t kReadableSection = 0x40000000;
inline constexpr std::uint32_t kWritableSection = 0x80000000;

// False with `error` set when `file` is not a PE32 image for i386 whose
// sections lie in order, inside the file and inside the image.
bool readPeImage(std::vector<std::uint8_t> file, PeImage& image, std::string& error);

// The addresses the image's base relocations name (32-bit ones only; padding
// entries skipped), in the table's order. False when the table holds
// another kind or runs past its directory.
bool readRelocations(const PeImage& image, const std::vector<std::uint8_t>& mapped, std::vector<std::uint32_t>& rvas,
                     std::string& error);

// The base relocation table naming `rvas`, one block per 4 KiB page.
std::vector<std::uint8_t> relocationTable(std::vector<std::uint32_t> rvas);

// The address of the import-table slot the system fills with `function` of
// `library` (names compared without regard to case); 0 when not imported.
std::uint32_t importSlot(const std::vector<std::uint8_t>& mapped, const PeDirectory& imports, const std::string& library,
                         const std::string& function);

}  // namespace brindle::image_pack
