#include "package/package_format.h"

#include <cstring>

#include "package/packed_block.h"

namespace brindle {

namespace {
constexpr std::size_t kEntryFieldsSize = 8 * 4;

void appendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t bytes[4];
    storeLe32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}
}  // namespace

bool parseDirectory(const std::uint8_t* data, std::size_t length, std::vector<PackageEntry>& entries) {
    entries.clear();
    if (length < 4) return false;
    const std::uint32_t count = loadLe32(data);
    std::size_t at = 4;
    // Each entry takes at least its NUL and its eight fields, which bounds
    // the count before anything is reserved.
    if (count > (length - at) / (1 + kEntryFieldsSize)) return false;
    entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const void* nul = std::memchr(data + at, 0, length - at);
        if (nul == nullptr) return false;
        const std::size_t nameLength = std::size_t(static_cast<const std::uint8_t*>(nul) - (data + at));
        if (length - at - nameLength - 1 < kEntryFieldsSize) return false;
        PackageEntry entry;
        entry.name.assign(reinterpret_cast<const char*>(data + at), nameLength);
        at += nameLength + 1;
        std::uint32_t field[8];
        for (std::uint32_t& value : field) {
            value = loadLe32(data + at);
            at += 4;
        }
        entry.kind = std::int32_t(field[0]);
        entry.size = field[1];
        entry.storedSize = field[2];
        entry.offset = field[3];
        entry.created = std::uint64_t(field[5]) << 32 | field[4];
        entry.modified = std::uint64_t(field[7]) << 32 | field[6];
        entries.push_back(std::move(entry));
    }
    return true;
}

std::vector<std::uint8_t> serializeDirectory(const std::vector<PackageEntry>& entries) {
    std::vector<std::uint8_t> out;
    appendLe32(out, std::uint32_t(entries.size()));
    for (const PackageEntry& entry : entries) {
        out.insert(out.end(), entry.name.begin(), entry.name.end());
        out.push_back(0);
        appendLe32(out, std::uint32_t(entry.kind));
        appendLe32(out, std::uint32_t(entry.size));
        appendLe32(out, std::uint32_t(entry.storedSize));
        appendLe32(out, std::uint32_t(entry.offset));
        appendLe32(out, std::uint32_t(entry.created));
        appendLe32(out, std::uint32_t(entry.created >> 32));
        appendLe32(out, std::uint32_t(entry.modified));
        appendLe32(out, std::uint32_t(entry.modified >> 32));
    }
    return out;
}

void encodeTrailer(const PackageTrailer& trailer, std::uint8_t out[kTrailerSize]) {
    storeLe32(out, trailer.unpackedDirectorySize);
    storeLe32(out + 4, trailer.storedDirectorySize);
    storeLe32(out + 8, trailer.dataStart);
    storeLe32(out + 12, kTrailerMagic);
}

bool decodeTrailer(const std::uint8_t in[kTrailerSize], PackageTrailer& trailer) {
    if (loadLe32(in + 12) != kTrailerMagic) return false;
    trailer.unpackedDirectorySize = loadLe32(in);
    trailer.storedDirectorySize = loadLe32(in + 4);
    trailer.dataStart = loadLe32(in + 8);
    return true;
}

}  // namespace brindle
