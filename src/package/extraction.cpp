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
#include "toolkit/path_text.h"
#include "toolkit/replacement_file.h"

namespace brindle {

namespace {

// Written, with its times set last; or why not.
ExtractResult written(FileResult times) {
    return times ? ExtractResult{ExtractOutcome::Written} : ExtractResult{ExtractOutcome::TimesFailed, times};
}

ExtractResult writeFile(const std::string& path, const std::uint8_t* data, std::size_t length,
                        const PackageEntry& entry) {
    ReplacementFile replacement;
    FileResult step = replacement.create(path);
    if (step) step = replacement.write(data, length);
    if (!step) return {ExtractOutcome::WriteFailed, step};
    const FileResult times = replacement.setTimes(entry.created, entry.modified);  // all data first, then the times
    const FileResult replaced = replacement.replaceTarget();
    if (replaced) return written(times);

    // A file that cannot be replaced, such as one a program holds open while
    // letting others write, is emptied and written in place instead, keeping
    // its attributes. A file that cannot be opened so either stays for the
    // replacement's cause.
    OutputFile file;
    if (!file.truncateExisting(path)) return {ExtractOutcome::WriteFailed, replaced};
    if (const FileResult inPlace = file.write(data, length); !inPlace) return {ExtractOutcome::WriteFailed, inPlace};
    return written(file.setTimes(entry.created, entry.modified));
}

// Passes a file entry's data without writing it: `outcome`, or Truncated
// when the data are not all there.
ExtractResult passOver(const PackageEntry& entry, DataCursor& data, ExtractResult result) {
    const bool passed = entry.kind == kFolderEntry || entry.size <= 0 || data.skip(entry.storedSize);
    return passed ? result : ExtractResult{ExtractOutcome::Truncated};
}

// One file entry at the cursor, written to `path`.
ExtractResult extractFile(const PackageEntry& entry, const std::string& path, DataCursor& data) {
    if (entry.size <= 0) return writeFile(path, nullptr, 0, entry);
    std::unique_ptr<std::uint8_t[]> content;
    switch (readEntryData(entry, data, content)) {
        case EntryData::Read: return writeFile(path, content.get(), std::size_t(entry.size), entry);
        case EntryData::Truncated: return {ExtractOutcome::Truncated};
        case EntryData::TooLarge:
        case EntryData::Damaged: return {ExtractOutcome::Damaged};
    }
    return {ExtractOutcome::Damaged};
}

ExtractResult extractEntry(const PackageEntry& entry, const std::string& target, const std::vector<std::string>& keep,
                           DataCursor& data) {
    if (entry.kind != kFolderEntry && entry.kind != kFileEntry) return {ExtractOutcome::UnknownKind};
    if (!isSafeEntryName(entry.name)) return passOver(entry, data, {ExtractOutcome::UnsafeName});
    if (entry.kind == kFolderEntry) {
        const FileResult made = createFolderChain(target + entry.name);
        return made ? ExtractResult{ExtractOutcome::FolderMade} : ExtractResult{ExtractOutcome::FolderFailed, made};
    }
    const bool mayOverwrite = std::find(keep.begin(), keep.end(), extensionOf(entry.name)) == keep.end();
    if (!mayOverwrite && fileExists(target + entry.name)) return passOver(entry, data, {ExtractOutcome::Kept});
    const FileResult folder = createFolderChain(target + pathPartOf(entry.name));
    if (!folder) return passOver(entry, data, {ExtractOutcome::FolderFailed, folder});
    return extractFile(entry, target + entry.name, data);
}

}  // namespace

std::vector<ExtractResult> extractAll(const PackageReader& package, const std::string& destination,
                                      const std::string& keepList) {
    const std::vector<PackageEntry>& entries = package.entries();
    const std::vector<std::string> keep = parseKeepList(keepList);
    const std::string target = ensureTrailingBackslash(destination);
    std::vector<ExtractResult> results;

    InputFile file;
    if (!file.open(package.packagePath())) {
        results.assign(entries.size(), {ExtractOutcome::Truncated});
        return results;
    }
    DataCursor data(file, package.dataStart(), package.dataEnd());
    results.reserve(entries.size());
    for (const PackageEntry& entry : entries) results.push_back(extractEntry(entry, target, keep, data));
    return results;
}

bool extractedWell(ExtractOutcome outcome) {
    return outcome == ExtractOutcome::Written || outcome == ExtractOutcome::FolderMade ||
           outcome == ExtractOutcome::Kept;
}

std::string problemOf(const ExtractResult& result) {
    const char* problem = "";
    switch (result.outcome) {
        case ExtractOutcome::Written:
        case ExtractOutcome::FolderMade:
        case ExtractOutcome::Kept: return {};
        case ExtractOutcome::UnsafeName: return "name would be written outside the destination; not written";
        case ExtractOutcome::Damaged: return "packed block is damaged; not written";
        case ExtractOutcome::Truncated: return "data missing (truncated package); not written";
        case ExtractOutcome::UnknownKind: return "unknown kind; passed over";
        case ExtractOutcome::WriteFailed: problem = "file could not be written"; break;
        case ExtractOutcome::FolderFailed: problem = "folder could not be made"; break;
        case ExtractOutcome::TimesFailed: problem = "file written, but its times could not be set"; break;
    }
    return withCause(problem, result.cause);
}

}  // namespace brindle
