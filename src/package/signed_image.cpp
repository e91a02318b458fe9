#include "package/signed_image.h"

#include <algorithm>

#include "package/packed_block.h"

namespace brindle {

namespace {
constexpr std::uint64_t kNewHeaderField = 0x3C;       // e_lfanew in the MZ header
constexpr std::uint32_t kPeSignature = 0x00004550;    // "PE\0\0"
constexpr std::uint64_t kFileHeaderSize = 24;         // the signature and the COFF file header
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::size_t kSizeOfHeadersField = 60;       // in the optional header, PE32 and PE32+ alike
constexpr std::size_t kSecurityDirectory = 4;         // data directory index of the certificate table
constexpr std::size_t kDirectorySize = 8;
constexpr std::uint32_t kCertificateHeaderSize = 8;   // WIN_CERTIFICATE: length, revision, type
constexpr std::uint64_t kTableAlignment = 8;

struct OptionalHeaderLayout {
    std::uint16_t magic;
    std::size_t directoryCountAt;
    std::size_t directoriesAt;
};
constexpr OptionalHeaderLayout kLayouts[] = {{0x10B, 92, 96}, {0x20B, 108, 112}};  // PE32, PE32+
constexpr std::size_t kLargestNeeded = 112 + (kSecurityDirectory + 1) * kDirectorySize;

struct CertificateTable {
    std::uint64_t offset = 0;    // a file offset, unlike the other directories' addresses
    std::uint32_t size = 0;
    std::uint64_t imageEnd = 0;  // end of the headers and of every section's raw data
};

std::uint16_t loadLe16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

// Reads exactly `count` bytes at `offset`, and only when they lie inside the file.
bool readAt(InputFile& file, std::uint64_t length, std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
    return offset <= length && count <= length - offset && file.seek(offset) && file.read(buffer, count) == count;
}

const OptionalHeaderLayout* layoutOf(std::uint16_t magic) {
    for (const OptionalHeaderLayout& layout : kLayouts)
        if (layout.magic == magic) return &layout;
    return nullptr;
}

// Where the section headers and the sections' raw data end; false when a
// section header lies outside the file.
bool sectionsEnd(InputFile& file, std::uint64_t length, std::uint64_t tableAt, unsigned count, std::uint64_t& end) {
    end = tableAt + count * kSectionHeaderSize;
    for (unsigned i = 0; i < count; ++i) {
        std::uint8_t raw[8];  // SizeOfRawData, PointerToRawData
        if (!readAt(file, length, tableAt + i * kSectionHeaderSize + 16, raw, sizeof raw)) return false;
        const std::uint32_t size = loadLe32(raw);
        if (size != 0) end = std::max(end, std::uint64_t(loadLe32(raw + 4)) + size);
    }
    return true;
}

// The security directory and the image's extent; false when the file is no
// PE image or its headers do not fit it.
bool readImageHeaders(InputFile& file, std::uint64_t length, CertificateTable& table) {
    std::uint8_t field[4];
    if (!readAt(file, length, 0, field, 2) || field[0] != 'M' || field[1] != 'Z') return false;
    if (!readAt(file, length, kNewHeaderField, field, 4)) return false;
    const std::uint64_t peAt = loadLe32(field);
    std::uint8_t header[kFileHeaderSize];
    if (!readAt(file, length, peAt, header, sizeof header) || loadLe32(header) != kPeSignature) return false;
    const unsigned sectionCount = loadLe16(header + 6);
    const std::size_t optionalSize = loadLe16(header + 20);

    const std::uint64_t optionalAt = peAt + kFileHeaderSize;
    std::uint8_t optional[kLargestNeeded];
    if (optionalSize < 2 || !readAt(file, length, optionalAt, optional, 2)) return false;
    const OptionalHeaderLayout* layout = layoutOf(loadLe16(optional));
    if (!layout) return false;
    const std::size_t needed = layout->directoriesAt + (kSecurityDirectory + 1) * kDirectorySize;
    if (optionalSize < needed || !readAt(file, length, optionalAt, optional, needed) ||
        loadLe32(optional + layout->directoryCountAt) <= kSecurityDirectory)
        return false;
    const std::uint8_t* directory = optional + layout->directoriesAt + kSecurityDirectory * kDirectorySize;
    table.offset = loadLe32(directory);
    table.size = loadLe32(directory + 4);

    std::uint64_t sectionDataEnd = 0;
    if (!sectionsEnd(file, length, optionalAt + optionalSize, sectionCount, sectionDataEnd)) return false;
    table.imageEnd = std::max<std::uint64_t>(loadLe32(optional + kSizeOfHeadersField), sectionDataEnd);
    return true;
}

bool isSoundTable(InputFile& file, std::uint64_t length, const CertificateTable& table) {
    if (table.size < kCertificateHeaderSize || table.offset < table.imageEnd || table.offset % kTableAlignment != 0 ||
        table.offset > length || table.size != length - table.offset)
        return false;
    std::uint8_t first[kCertificateHeaderSize];
    if (!readAt(file, length, table.offset, first, sizeof first)) return false;
    const std::uint32_t firstLength = loadLe32(first);
    const std::uint16_t revision = loadLe16(first + 4);
    return firstLength >= kCertificateHeaderSize && firstLength <= table.size &&
           (revision == 0x0100 || revision == 0x0200);
}

// The table's offset less the signer's zero padding. The appended data never
// end in a zero byte (a package ends in "Pack"), so the zeros are padding.
std::uint64_t endBeforePadding(InputFile& file, std::uint64_t length, const CertificateTable& table) {
    std::uint8_t before[kTableAlignment - 1];
    const std::size_t count = std::size_t(std::min<std::uint64_t>(sizeof before, table.offset - table.imageEnd));
    if (!readAt(file, length, table.offset - count, before, count)) return table.offset;
    std::size_t kept = count;
    while (kept > 0 && before[kept - 1] == 0) --kept;
    return table.offset - (count - kept);
}
}  // namespace

AppendedDataEnd findAppendedDataEnd(InputFile& file, std::uint64_t length) {
    CertificateTable table;
    if (!readImageHeaders(file, length, table) || !isSoundTable(file, length, table)) return {length, 0};
    return {endBeforePadding(file, length, table), table.size};
}

}  // namespace brindle
