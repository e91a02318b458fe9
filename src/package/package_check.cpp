#include "package/package_check.h"

#include "package/data_cursor.h"
#include "package/entry_data.h"
#include "package/entry_name.h"
#include "toolkit/files.h"

namespace brindle {

namespace {
class Discard final : public ContentSink {
public:
    bool write(const std::uint8_t*, std::size_t) override { return true; }
};

// Empty when the entry's block is sound.
std::string checkBlock(const PackageEntry& entry, DataCursor& data) {
    if (entry.kind == kFolderEntry || entry.size == 0) return {};
    Discard content;
    switch (streamEntryData(entry, data, content)) {
        case EntryData::Read:
        case EntryData::WriteFailed: return {};  // Discard takes everything
        case EntryData::Truncated: return "data run past the end of the package";
        case EntryData::TooLarge: return "block too large to check";
        case EntryData::Damaged: return "packed block is damaged (it does not unpack to its size or fails its checksum)";
    }
    return {};
}
}  // namespace

std::vector<EntryProblem> checkPackage(const PackageReader& package) {
    std::vector<EntryProblem> problems;
    const std::vector<PackageEntry>& entries = package.entries();
    DataCursor data(package.file(), package.dataStart(), package.dataEnd());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PackageEntry& entry = entries[i];
        if (entry.kind != kFolderEntry && entry.kind != kFileEntry) {
            problems.push_back({i, "unknown kind " + std::to_string(entry.kind)});
            continue;
        }
        if (!isSafeEntryName(entry.name)) problems.push_back({i, kUnsafeNameProblem});
        if (entry.offset != data.position())
            problems.push_back({i, "offset " + std::to_string(entry.offset) +
                                       " does not match the block's position " + std::to_string(data.position())});
        std::string blockProblem = checkBlock(entry, data);
        if (!blockProblem.empty()) problems.push_back({i, std::move(blockProblem)});
    }
    return problems;
}

}  // namespace brindle
