// Extraction walks the entry list once, reading the data blocks forwards
// from the data start, and makes every folder and file inside the held
// folders of a FolderWalk, never through a link. A block's content goes to a
// fresh file beside its target, checked on the way, and replaces the target
// only once it is whole and sound: a damaged entry never replaces a good
// file, and a failed write (a full disk) leaves the earlier file, or none.
#include "package/extraction.h"

#include <algorithm>

#include "package/data_cursor.h"
#include "package/entry_data.h"
#include "package/entry_name.h"
#include "toolkit/file_paths.h"
#include "toolkit/files.h"
#include "toolkit/folder_walk.h"
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

// One file entry at the cursor, for `path`: with `write` off its data are only passed.
// The content streams into a fresh file beside the target, checked on the
// way, and replaces the target only once it is whole and sound.
ExtractOutcome extractEntry(const PackageEntry& entry, const std::string& path, bool write, DataCursor& data) {
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

// An entry that is not written: its data are read past, so that the
// following entries stay in place.
ExtractOutcome passOver(const PackageEntry& entry, DataCursor& data, ExtractOutcome why) {
    const bool passed = entry.kind == kFolderEntry || entry.size == 0 || data.skip(entry.storedSize);
    return passed ? why : ExtractOutcome::Truncated;
}

}  // namespace

std::vector<ExtractOutcome> extractAll(const PackageReader& package, const std::string& destination,
                                       const std::string& keepList) {
    const std::vector<PackageEntry>& entries = package.entries();
    const std::vector<std::string> keep = parseKeepList(keepList);
    std::vector<ExtractOutcome> outcomes;

    DataCursor data(package.file(), package.dataStart(), package.dataEnd());
    FolderWalk folders;
    folders.open(destination);
    outcomes.reserve(entries.size());
    for (const PackageEntry& entry : entries) {
        if (entry.kind != kFolderEntry && entry.kind != kFileEntry) {
            outcomes.push_back(ExtractOutcome::UnknownKind);
            continue;
        }
        if (!isSafeEntryName(entry.name)) {
            outcomes.push_back(passOver(entry, data, ExtractOutcome::UnsafeName));
            continue;
        }
        HeldFolder::Opened failure;
        const HeldFolder* folder = folders.enter(entry.kind == kFolderEntry ? entry.name : pathPartOf(entry.name), failure);
        if (folder == nullptr) {
            const bool link = failure == HeldFolder::Opened::Link;
            outcomes.push_back(passOver(entry, data, link ? ExtractOutcome::LinkInWay : ExtractOutcome::FolderFailed));
            continue;
        }
        if (entry.kind == kFolderEntry) {
            outcomes.push_back(ExtractOutcome::FolderMade);
            continue;
        }
        const std::string path = folder->path() + entry.name.substr(pathPartOf(entry.name).size());
        const bool mayOverwrite = std::find(keep.begin(), keep.end(), extensionOf(entry.name)) == keep.end();
        if (!mayOverwrite && fileExists(path)) {
            outcomes.push_back(extractEntry(entry, path, false, data));
        } else if (entry.size > folder->freeSpace()) {
            outcomes.push_back(passOver(entry, data, ExtractOutcome::NoSpace));
        } else {
            outcomes.push_back(extractEntry(entry, path, true, data));
        }
    }
    return outcomes;
}

}  // namespace brindle
