#include "package/package_check.h"

#include <memory>
#include <new>

#include "package/data_cursor.h"
#include "package/entry_name.h"
#include "package/unpack.h"
#include "toolkit/files.h"

namespace brindle {

namespace {
// Empty when the entry's block is sound.
std::string checkBlock(const PackageEntry& entry, DataCursor& data) {
    if (entry.kind == kFolderEntry || entry.size <= 0) return {};
    if (!data.claim(entry.storedSize)) return "data run past the end of the package";
    std::unique_ptr<std::uint8_t[]> stored(new (std::nothrow) std::uint8_t[std::size_t(entry.storedSize) + 1]);
    if (!stored) return "block too large to check";
    if (!data.read(stored.get(), entry.storedSize)) return "data cannot be read";
    if (entry.storedSize == entry.size) return {};
    std::unique_ptr<std::uint8_t[]> unpacked(new (std::nothrow) std::uint8_t[std::size_t(entry.size)]);
    if (!unpacked) return "block too large to check";
    std::uint32_t written = 0;
    if (!unpack(stored.get(), std::size_t(entry.storedSize), unpacked.get(), std::size_t(entry.size), written) ||
        written != std::uint32_t(entry.size))
        return "packed block is damaged (it does not unpack to its size or fails its checksum)";
    return {};
}
}  // namespace

std::vector<EntryProblem> checkPackage(const PackageReader& package) {
    std::vector<EntryProblem> problems;
    const std::vector<PackageEntry>& entries = package.entries();
    InputFile file;
    if (!file.open(package.packagePath())) {
        problems.push_back({0, "package cannot be opened"});
        return problems;
    }
    DataCursor data(file, package.dataStart(), package.dataEnd());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PackageEntry& entry = entries[i];
        if (entry.kind != kFolderEntry && entry.kind != kFileEntry) {
            problems.push_back({i, "unknown kind " + std::to_string(entry.kind)});
            continue;
        }
        if (!isSafeEntryName(entry.name)) problems.push_back({i, "name would be written outside the destination"});
        if (std::uint64_t(std::uint32_t(entry.offset)) != data.position())
            problems.push_back({i, "offset " + std::to_string(std::uint32_t(entry.offset)) +
                                       " does not match the block's position " + std::to_string(data.position())});
        std::string blockProblem = checkBlock(entry, data);
        if (!blockProblem.empty()) problems.push_back({i, std::move(blockProblem)});
    }
    return problems;
}

}  // namespace brindle
