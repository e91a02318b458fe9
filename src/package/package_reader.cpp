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

PackageRead fromImageProblem(ImageProblem problem) {
    switch (problem) {
        case ImageProblem::None: break;
        case ImageProblem::Cut: return PackageRead::ImageCut;
        case ImageProblem::TableMisplaced: return PackageRead::TableMisplaced;
        case ImageProblem::TableUnrecognised: return PackageRead::TableUnrecognised;
        case ImageProblem::DataAfterTable: return PackageRead::DataAfterTable;
    }
    return PackageRead::Read;
}
}  // namespace

PackageRead PackageReader::readDirectory(InputFile& file, PackageFile kind) {
    entries_.clear();
    file_ = &file;
    dataStart_ = 0;
    dataEnd_ = 0;
    certificateTableSize_ = 0;

    const std::int64_t length = file.size();
    if (length < 0) return PackageRead::NoPackage;
    ImageLayout image;
    image.appendedEnd = std::uint64_t(length);
    if (kind == PackageFile::Installer) image = readImageLayout(file, std::uint64_t(length));
    if (image.problem != ImageProblem::None) return fromImageProblem(image.problem);
    certificateTableSize_ = image.certificateTableSize;
    if (image.isImage && image.appendedEnd == image.imageEnd) return PackageRead::NothingAppended;
    const PackageRead noTrailer = image.isImage ? PackageRead::MissingBehindImage : PackageRead::NoPackage;

    std::uint8_t tail[kTrailerSize];
    PackageTrailer trailer;
    if (image.appendedEnd < kTrailerSize) return noTrailer;
    const std::uint64_t beforeTrailer = image.appendedEnd - kTrailerSize;
    if (!file.seek(beforeTrailer) || file.read(tail, kTrailerSize) != kTrailerSize || !decodeTrailer(tail, trailer))
        return noTrailer;
    if (trailer.storedDirectorySize > beforeTrailer) return PackageRead::DirectoryDamaged;
    const std::uint64_t directoryStart = beforeTrailer - trailer.storedDirectorySize;
    if (trailer.dataStart > directoryStart) return PackageRead::DirectoryDamaged;

    if (!loadDirectory(file, trailer, directoryStart, entries_)) {
        entries_.clear();
        return PackageRead::DirectoryDamaged;
    }
    dataStart_ = trailer.dataStart;
    dataEnd_ = directoryStart;
    return PackageRead::Read;
}

}  // namespace brindle
