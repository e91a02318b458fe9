#include "package/package_writer.h"

#include <algorithm>
#include <limits>

#include "package/pack.h"
#include "toolkit/files.h"

namespace brindle {

namespace {
constexpr std::uint64_t kLargestOffset = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kLeastSaving = 16;
}  // namespace

bool packingPays(std::size_t packedLength, std::size_t length) {
    // A block as long as the content would read as raw, so the rule also
    // keeps raw whatever packing does not shorten.
    return packedLength + std::max(kLeastSaving, length / 100) <= length;
}

std::vector<std::uint8_t> packWhenWorthwhile(const std::uint8_t* data, std::size_t length) {
    if (length == 0) return {};
    std::vector<std::uint8_t> packed = pack(data, length);
    if (!packingPays(packed.size(), length)) packed.clear();
    return packed;
}

PackageEntry PackageWriter::fileEntry(const std::string& name, std::size_t length, std::uint64_t created,
                                      std::uint64_t modified) {
    PackageEntry entry;
    entry.name = name;
    entry.kind = kFileEntry;
    entry.size = std::uint32_t(length);
    entry.created = created;
    entry.modified = modified;
    return entry;
}

PackageWrite PackageWriter::place(PackageEntry entry, std::size_t blockLength,
                                  const std::function<FileResult()>& writeBlock) {
    // Sizes and offsets are unsigned 32-bit fields.
    if (nextOffset_ + blockLength > kLargestOffset) return {true, {}};
    entry.offset = std::uint32_t(nextOffset_);
    entry.storedSize = std::uint32_t(blockLength);
    if (blockLength != 0)
        if (const FileResult written = writeBlock(); !written) return {false, written};
    nextOffset_ += blockLength;
    entries_.push_back(std::move(entry));
    return {};
}

PackageWrite PackageWriter::addFolder(const std::string& name, std::uint64_t created, std::uint64_t modified) {
    PackageEntry entry = fileEntry(name, 0, created, modified);
    entry.kind = kFolderEntry;
    return place(std::move(entry), 0, {});
}

PackageWrite PackageWriter::addFile(const std::string& name, const std::uint8_t* data, std::size_t length,
                                    std::uint64_t created, std::uint64_t modified) {
    if (length > kLargestOffset) return {true, {}};
    const std::vector<std::uint8_t> packed = packWhenWorthwhile(data, length);
    if (packed.empty()) return addStoredFile(name, length, data, length, created, modified);
    return addStoredFile(name, length, packed.data(), packed.size(), created, modified);
}

PackageWrite PackageWriter::addStoredFile(const std::string& name, std::size_t length, const std::uint8_t* block,
                                          std::size_t blockLength, std::uint64_t created, std::uint64_t modified) {
    if (length > kLargestOffset) return {true, {}};
    return place(fileEntry(name, length, created, modified), blockLength,
                 [&] { return out_.write(block, blockLength); });
}

PackageWrite PackageWriter::addRawFile(const std::string& name, std::size_t length, std::uint64_t created,
                                       std::uint64_t modified, const std::function<FileResult(OutputFile& out)>& copy) {
    if (length > kLargestOffset) return {true, {}};
    return place(fileEntry(name, length, created, modified), length, [&] { return copy(out_); });
}

FileResult PackageWriter::finish() {
    const std::vector<std::uint8_t> directory = serializeDirectory(entries_);
    const std::vector<std::uint8_t> packed = packWhenWorthwhile(directory.data(), directory.size());
    const std::vector<std::uint8_t>& stored = packed.empty() ? directory : packed;

    PackageTrailer trailer;
    trailer.unpackedDirectorySize = std::uint32_t(directory.size());
    trailer.storedDirectorySize = std::uint32_t(stored.size());
    trailer.dataStart = dataStart_;
    std::uint8_t tail[kTrailerSize];
    encodeTrailer(trailer, tail);
    const FileResult written = out_.write(stored.data(), stored.size());
    return written ? out_.write(tail, kTrailerSize) : written;
}

}  // namespace brindle
