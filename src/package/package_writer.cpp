#include "package/package_writer.h"

#include <limits>

#include "package/pack.h"
#include "toolkit/files.h"

namespace brindle {

namespace {
constexpr std::uint64_t kLargestOffset = std::numeric_limits<std::int32_t>::max();
}  // namespace

bool PackageWriter::place(PackageEntry entry, const std::uint8_t* block, std::size_t blockLength) {
    // Sizes and offsets are signed 32-bit fields.
    if (nextOffset_ + blockLength > kLargestOffset) return false;
    entry.offset = std::int32_t(nextOffset_);
    entry.storedSize = std::int32_t(blockLength);
    if (blockLength != 0 && !out_.write(block, blockLength)) return false;
    nextOffset_ += blockLength;
    entries_.push_back(std::move(entry));
    return true;
}

bool PackageWriter::addFolder(const std::string& name, std::uint64_t created, std::uint64_t modified) {
    PackageEntry entry;
    entry.name = name;
    entry.kind = kFolderEntry;
    entry.created = created;
    entry.modified = modified;
    return place(std::move(entry), nullptr, 0);
}

bool PackageWriter::addFile(const std::string& name, const std::uint8_t* data, std::size_t length,
                            std::uint64_t created, std::uint64_t modified) {
    if (length > kLargestOffset) return false;
    PackageEntry entry;
    entry.name = name;
    entry.kind = kFileEntry;
    entry.size = std::int32_t(length);
    entry.created = created;
    entry.modified = modified;
    if (length == 0) return place(std::move(entry), nullptr, 0);
    // A block as long as the content would read as raw, so packing must
    // strictly win to be used.
    const std::vector<std::uint8_t> packed = pack(data, length);
    if (packed.size() < length) return place(std::move(entry), packed.data(), packed.size());
    return place(std::move(entry), data, length);
}

bool PackageWriter::finish() {
    const std::vector<std::uint8_t> directory = serializeDirectory(entries_);
    const std::vector<std::uint8_t> packed = pack(directory.data(), directory.size());
    const bool usePacked = packed.size() < directory.size();
    const std::vector<std::uint8_t>& stored = usePacked ? packed : directory;

    PackageTrailer trailer;
    trailer.unpackedDirectorySize = std::uint32_t(directory.size());
    trailer.storedDirectorySize = std::uint32_t(stored.size());
    trailer.dataStart = dataStart_;
    std::uint8_t tail[kTrailerSize];
    encodeTrailer(trailer, tail);
    return out_.write(stored.data(), stored.size()) && out_.write(tail, kTrailerSize);
}

}  // namespace brindle
