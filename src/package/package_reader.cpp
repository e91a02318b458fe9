#include "package/package_reader.h"

#include <memory>
#include <new>

#include "package/signed_image.h"
#include "package/block_method.h"
#include "toolkit/files.h"

namespace brindle {

namespace {
// No real directory comes near this; it keeps a forged size from asking for
// gigabytes before the unpacking fails.
constexpr std::uint32_t kLargestDirectory = 256u << 20;

bool loadDirectory(InputFile& file, const PackageTrailer& trailer, std::uint64_t directoryStart,
                   std::vector<PackageEntry>& entries) {
    const std::uint32_t stored = trailer.storedDirectorySize;
    const std::uint32_t unpacked = trailer.unpackedDirectorySize;
    if (unpacked > kLargestDirectory) return false;
    std::unique_ptr<std::uint8_t[]> raw(new (std::nothrow) std::uint8_t[stored ? stored : 1]);
    if (!raw || !file.seek(directoryStart) || file.read(raw.get(), stored) != stored) return false;
    if (stored == unpacked) return parseDirectory(raw.get(), stored, entries);
    // The block states its own size: a trailer that disagrees is damaged, and
    // nothing is reserved for it.
    std::uint32_t stated = 0;
    if (!statedBlockSize(raw.get(), stored, stated) || stated != unpacked) return false;
    std::unique_ptr<std::uint8_t[]> directory(new (std::nothrow) std::uint8_t[unpacked ? unpacked : 1]);
    std::uint32_t written = 0;
    if (!directory || !unpackBlock(raw.get(), stored, directory.get(), unpacked, written) || written != unpacked)
        return false;
    return parseDirectory(directory.get(), unpacked, entries);
}
}  // namespace

bool PackageReader::readDirectory(const std::string& path) {
    entries_.clear();
    packagePath_ = path;
    dataStart_ = 0;
    dataEnd_ = 0;
    certificateTableSize_ = 0;

    InputFile file;
    if (!file.open(path)) return false;
    const std::int64_t length = file.size();
    if (length < std::int64_t(kTrailerSize)) return false;
    // A signed installer carries its certificate table behind the package.
    const AppendedDataEnd packageEnd = findAppendedDataEnd(file, std::uint64_t(length));
    certificateTableSize_ = packageEnd.certificateTableSize;
    if (packageEnd.end < kTrailerSize) return false;

    std::uint8_t tail[kTrailerSize];
    PackageTrailer trailer;
    const std::uint64_t beforeTrailer = packageEnd.end - kTrailerSize;
    if (!file.seek(beforeTrailer) || file.read(tail, kTrailerSize) != kTrailerSize || !decodeTrailer(tail, trailer))
        return false;
    if (trailer.storedDirectorySize > beforeTrailer) return false;
    const std::uint64_t directoryStart = beforeTrailer - trailer.storedDirectorySize;
    if (trailer.dataStart > directoryStart) return false;

    if (!loadDirectory(file, trailer, directoryStart, entries_)) {
        entries_.clear();
        return false;
    }
    dataStart_ = trailer.dataStart;
    dataEnd_ = directoryStart;
    return true;
}

}  // namespace brindle
