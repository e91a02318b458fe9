// Extraction walks the entry list once, reading the data blocks strictly
// forwards from the data start. A block is unpacked and checked in memory
// before its file is touched, so a damaged entry never replaces a good file;
// a file is replaced only once its new content is whole beside it, so a
// failed write (a full disk) leaves the earlier file, or none.
#include "package/extraction.h"

#include <algorithm>
#include <memory>

#include "package/data_cursor.h"
#include "package/entry_data.h"
#include "package/entry_name.h"
#include "toolkit/file_paths.h"
#include "toolkit/files.h"
#include "toolkit/path_text.h"
#include "toolkit/replacement_file.h"

namespace brindle {

namespace {

ExtractOutcome writeFile(const std::string& path, const std::uint8_t* data, std::size_t length,
                         const PackageEntry& entry) {
    ReplacementFile replacement;
    if (!replacement.create(path) || !replacement.write(data, length)) return ExtractOutcome::WriteFailed;
    replacement.setTimes(entry.created, entry.modified);  // all data first, then the times
    if (replacement.replaceTarget()) return ExtractOutcome::Written;

    // A file that cannot be replaced, such as one a program holds open while
    // letting others write, is emptied and written in place instead, keeping
    // its attributes.
    OutputFile file;
    if (!file.truncateExisting(path) || !file.write(data, length)) return ExtractOutcome::WriteFailed;
    file.setTimes(entry.created, entry.modified);
    return ExtractOutcome::Written;
}

// One file entry at the cursor: with `write` off its data are only passed.
ExtractOutcome extractEntry(const PackageEntry& entry, const std::string& destination, bool write,
                            DataCursor& data) {
    const std::string path = destination + entry.name;
    if (entry.size <= 0) {
        return write ? writeFile(path, nullptr, 0, entry) : ExtractOutcome::Kept;
    }
    if (!write) return data.skip(entry.storedSize) ? ExtractOutcome::Kept : ExtractOutcome::Truncated;
    std::unique_ptr<std::uint8_t[]> content;
    switch (readEntryData(entry, data, content)) {
        case EntryData::Read: return writeFile(path, content.get(), std::size_t(entry.size), entry);
        case EntryData::Truncated: return ExtractOutcome::Truncated;
        case EntryData::TooLarge:
        case EntryData::Damaged: return ExtractOutcome::Damaged;
    }
    return ExtractOutcome::Damaged;
}

}  // namespace

std::vector<ExtractOutcome> extractAll(const PackageReader& package, const std::string& destination,
                                       const std::string& keepList) {
    const std::vector<PackageEntry>& entries = package.entries();
    const std::vector<std::string> keep = parseKeepList(keepList);
    const std::string target = ensureTrailingBackslash(destination);
    std::vector<ExtractOutcome> outcomes;

    DataCursor data(package.file(), package.dataStart(), package.dataEnd());
    outcomes.reserve(entries.size());
    for (const PackageEntry& entry : entries) {
        if (entry.kind != kFolderEntry && entry.kind != kFileEntry) {
            outcomes.push_back(ExtractOutcome::UnknownKind);
            continue;
        }
        if (!isSafeEntryName(entry.name)) {
            const bool passed = entry.kind == kFolderEntry || entry.size <= 0 || data.skip(entry.storedSize);
            outcomes.push_back(passed ? ExtractOutcome::UnsafeName : ExtractOutcome::Truncated);
            continue;
        }
        if (entry.kind == kFolderEntry) {
            createFolderChain(target + entry.name);
            outcomes.push_back(ExtractOutcome::FolderMade);
            continue;
        }
        const bool mayOverwrite = std::find(keep.begin(), keep.end(), extensionOf(entry.name)) == keep.end();
        if (!mayOverwrite && fileExists(target + entry.name)) {
            outcomes.push_back(extractEntry(entry, target, false, data));
            continue;
        }
        createFolderChain(target + pathPartOf(entry.name));
        outcomes.push_back(extractEntry(entry, target, true, data));
    }
    return outcomes;
}

}  // namespace brindle
