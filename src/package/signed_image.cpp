#include "package/signed_image.h"

#include <algorithm>
#include <iterator>

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
constexpr std::uint16_t kRevisions[] = {0x0100, 0x0200};
constexpr std::uint16_t kLastCertificateType = 4;     // X.509, PKCS#7 signed data, reserved, terminal server
// Signers write one certificate (further signatures nest inside it); the
// bound keeps a forged table of tiny entries from costing a read per 8 bytes.
constexpr unsigned kMostCertificates = 16;

struct OptionalHeaderLayout {
    std::uint16_t magic;
    std::size_t directoryCountAt;
    std::size_t directoriesAt;
};
constexpr OptionalHeaderLayout kLayouts[] = {{0x10B, 92, 96}, {0x20B, 108, 112}};  // PE32, PE32+
constexpr std::size_t kLargestNeeded = 112 + (kSecurityDirectory + 1) * kDirectorySize;

struct SecurityDirectory {
    std::uint64_t offset = 0;  // a file offset, unlike the other directories' addresses
    std::uint32_t size = 0;
};


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
bool readImageHeaders(InputFile& file, std::uint64_t length, SecurityDirectory& table, std::uint64_t& imageEnd) {
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
    const std::size_t available = std::min(optionalSize, needed);
    if (available < kSizeOfHeadersField + 4 || !readAt(file, length, optionalAt, optional, available)) return false;
    // An image with fewer data directories has no security directory.
    if (available == needed && loadLe32(optional + layout->directoryCountAt) > kSecurityDirectory) {
        const std::uint8_t* directory = optional + layout->directoriesAt + kSecurityDirectory * kDirectorySize;
        table.offset = loadLe32(directory);
        table.size = loadLe32(directory + 4);
    }

    std::uint64_t sectionDataEnd = 0;
    if (!sectionsEnd(file, length, optionalAt + optionalSize, sectionCount, sectionDataEnd)) return false;
    imageEnd = std::max<std::uint64_t>(loadLe32(optional + kSizeOfHeadersField), sectionDataEnd);
    return true;
}

std::uint64_t roundedUp(std::uint64_t value) { return (value + kTableAlignment - 1) / kTableAlignment * kTableAlignment; }

bool isPlaced(const SecurityDirectory& table, std::uint64_t imageEnd) {
    return table.size >= kCertificateHeaderSize && table.offset >= imageEnd && table.offset % kTableAlignment == 0;
}

bool isInside(const SecurityDirectory& table, std::uint64_t length) {
    return table.offset <= length && table.size <= length - table.offset;
}

// The table is certificates back to back, each starting 8-byte aligned, the
// last one ending the table (the zeros that round it up to 8 bytes inside or
// just behind it).
bool isRecognised(InputFile& file, std::uint64_t length, const SecurityDirectory& table) {
    const std::uint64_t end = table.offset + table.size;
    std::uint64_t at = table.offset;
    for (unsigned count = 0; at < end; ++count) {
        std::uint8_t header[kCertificateHeaderSize];
        if (count == kMostCertificates || end - at < sizeof header || !readAt(file, length, at, header, sizeof header))
            return false;
        const std::uint32_t certificateLength = loadLe32(header);
        const std::uint16_t revision = loadLe16(header + 4), type = loadLe16(header + 6);
        if (certificateLength < kCertificateHeaderSize || certificateLength > end - at ||
            std::find(std::begin(kRevisions), std::end(kRevisions), revision) == std::end(kRevisions) || type == 0 ||
            type > kLastCertificateType)
            return false;
        at += roundedUp(certificateLength);
    }
    return true;
}

// Behind the table only the zeros that round its last certificate up to 8
// bytes may follow, where the directory's size leaves them out.
bool endsFile(InputFile& file, std::uint64_t length, const SecurityDirectory& table) {
    const std::uint64_t end = table.offset + table.size;
    if (end == length) return true;
    if (length != roundedUp(end)) return false;
    std::uint8_t tail[kTableAlignment];
    const std::size_t count = std::size_t(length - end);
    if (!readAt(file, length, end, tail, count)) return false;
    return std::all_of(tail, tail + count, [](std::uint8_t byte) { return byte == 0; });
}

// The table's offset less the signer's zero padding. The appended data never
// end in a zero byte (a package ends in "Pack"), so the zeros are padding.
std::uint64_t endBeforePadding(InputFile& file, std::uint64_t length, const SecurityDirectory& table,
                               std::uint64_t imageEnd) {
    std::uint8_t before[kTableAlignment - 1];
    const std::size_t count = std::size_t(std::min<std::uint64_t>(sizeof before, table.offset - imageEnd));
    if (!readAt(file, length, table.offset - count, before, count)) return table.offset;
    std::size_t kept = count;
    while (kept > 0 && before[kept - 1] == 0) --kept;
    return table.offset - (count - kept);
}
}  // namespace

ImageLayout readImageLayout(InputFile& file, std::uint64_t length) {
    ImageLayout layout;
    layout.appendedEnd = length;
    SecurityDirectory table;
    if (!readImageHeaders(file, length, table, layout.imageEnd)) {
        layout.imageEnd = 0;
        return layout;
    }
    layout.isImage = true;
    if (layout.imageEnd > length) {
        layout.problem = ImageProblem::Cut;
    } else if (table.offset == 0 && table.size == 0) {
        // Unsigned: everything behind the image is appended data.
    } else if (!isPlaced(table, layout.imageEnd)) {
        layout.problem = ImageProblem::TableMisplaced;
    } else if (!isInside(table, length)) {
        layout.problem = ImageProblem::Cut;
    } else if (!isRecognised(file, length, table)) {
        layout.problem = ImageProblem::TableUnrecognised;
    } else if (!endsFile(file, length, table)) {
        layout.problem = ImageProblem::DataAfterTable;
    } else {
        layout.appendedEnd = endBeforePadding(file, length, table, layout.imageEnd);
        layout.certificateTableSize = table.size;
    }
    return layout;
}

}  // namespace brindle
