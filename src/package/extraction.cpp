// Extraction walks the entry list once, reading the data blocks forwards
// from the data start. A block's content goes to a fresh file beside its
// target, checked on the way, and replaces the target only once it is whole
// and sound: a damaged entry never replaces a good file, and a failed write
// (a full disk) leaves the earlier file, or none.
#include "package/extraction.h"

#include <algorithm>

#include "package/data_cursor.h"
#include "package/entry_data.h"
#include "package/entry_name.h"
#include "toolkit/file_paths.h"
#include "toolkit/files.h"
#include "toolkit/path_text.h"
#include "toolkit/replacement_file.h"

namespace brindle {

namespace {

template <typename File>
class FileSink final : public ContentSink {
public:
    explicit FileSink(File& file) : file_(file) {}
    bool write(const std::uint8_t* data, std::size_t length) override { return file_.write(data, length); }

private:
    File& file_;
};

ExtractOutcome outcomeOf(EntryData read) {
    switch (read) {
        case EntryData::Read: return ExtractOutcome::Written;
        case EntryData::Truncated: return ExtractOutcome::Truncated;
        case EntryData::WriteFailed: return ExtractOutcome::WriteFailed;
        case EntryData::TooLarge:
        case EntryData::Damaged: break;
    }
    return ExtractOutcome::Damaged;
}

// One file entry at the cursor: with `write` off its data are only passed.
// The content streams into a fresh file beside the target, checked on the
// way, and replaces the target only once it is whole and sound.
ExtractOutcome extractEntry(const PackageEntry& entry, const std::string& destination, bool write,
                            DataCursor& data) {
    const std::string path = destination + entry.name;
    if (!write) return entry.size == 0 || data.skip(entry.storedSize) ? ExtractOutcome::Kept : ExtractOutcome::Truncated;
    const std::uint64_t blockStart = data.position();
    ReplacementFile replacement;
    if (!replacement.create(path)) {
        return entry.size == 0 || data.skip(entry.storedSize) ? ExtractOutcome::WriteFailed : ExtractOutcome::Truncated;
    }
    FileSink<ReplacementFile> fresh(replacement);
    const ExtractOutcome read = outcomeOf(streamEntryData(entry, data, fresh));
    if (read != ExtractOutcome::Written) return read;
    replacement.setTimes(entry.created, entry.modified);  // all data first, then the times
    if (replacement.replaceTarget()) return ExtractOutcome::Written;

    // A file that cannot be replaced, such as one a program holds open while
    // letting others write, is emptied and written in place instead, keeping
    // its attributes: its block is read a second time for that.
    OutputFile file;
    FileSink<OutputFile> inPlace(file);
    DataCursor again = data.from(blockStart);
    if (!file.truncateExisting(path) || streamEntryData(entry, again, inPlace) != EntryData::Read)
        return ExtractOutcome::WriteFailed;
    file.setTimes(entry.created, entry.modified);
    return ExtractOutcome::Written;
}

}  // namespace

std::vector<ExtractOutcome> extractAll(const PackageReader& package, const std::string& destination,
                                       const std::string& keepList) {
    const std::vector<PackageEntry>& entries = package.entries();
    const std::vector<std::string> keep = parseKeepList(keepList);
    const std::string target = ensureTrailingBackslash(destination);
    std::vector<ExtractOutcome> outcomes;

    InputFile file;
    if (!file.open(package.packagePath())) {
        outcomes.assign(entries.size(), ExtractOutcome::Truncated);
        return outcomes;
    }
    DataCursor data(file, package.dataStart(), package.dataEnd());
    outcomes.reserve(entries.size());
    for (const PackageEntry& entry : entries) {
        if (entry.kind != kFolderEntry && entry.kind != kFileEntry) {
            outcomes.push_back(ExtractOutcome::UnknownKind);
            continue;
        }
        if (!isSafeEntryName(entry.name)) {
            const bool passed = entry.kind == kFolderEntry || entry.size == 0 || data.skip(entry.storedSize);
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
