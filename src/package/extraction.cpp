// Extraction walks the entry list once, reading the data blocks forwards
// from the data start, and makes every folder and file inside the held
// folders of a FolderWalk, never through a link. A block's content goes to a
// ReplacementFile, checked on the way, and replaces the target only once it
// is whole and sound: a damaged entry never replaces a good file, and a
// failed write (a full disk) leaves the earlier file, or none.
#include "package/extraction.h"

#include <algorithm>

#include "package/data_cursor.h"
#include "package/entry_data.h"
#include "package/entry_name.h"
#include "toolkit/file_paths.h"
#include "toolkit/folder_walk.h"
#include "toolkit/number_text.h"
#include "toolkit/path_text.h"
#include "toolkit/replacement_file.h"

namespace brindle {

namespace {

// Content on its way into a file; a refused write keeps the system's cause.
template <typename File>
class FileSink final : public ContentSink {
public:
    explicit FileSink(File& file) : file_(file) {}
    bool write(const std::uint8_t* data, std::size_t length) override {
        written_ = file_.write(data, length);
        return bool(written_);
    }
    FileResult written() const { return written_; }

private:
    File& file_;
    FileResult written_;
};

template <typename File>
ExtractResult resultOf(EntryData read, const FileSink<File>& sink) {
    switch (read) {
        case EntryData::Read: return {ExtractOutcome::Written};
        case EntryData::Truncated: return {ExtractOutcome::Truncated};
        case EntryData::WriteFailed: return {ExtractOutcome::WriteFailed, sink.written()};
        case EntryData::TooLarge:
        case EntryData::Damaged: break;
    }
    return {ExtractOutcome::Damaged};
}

// Written, with its times set last; or why not.
ExtractResult withTimes(FileResult times) {
    return times ? ExtractResult{ExtractOutcome::Written} : ExtractResult{ExtractOutcome::TimesFailed, times};
}

// An entry that is not written: its data are read past, so that the
// following entries stay in place.
ExtractResult passOver(const PackageEntry& entry, DataCursor& data, ExtractResult why) {
    const bool passed = entry.kind == kFolderEntry || entry.size == 0 || data.skip(entry.storedSize);
    return passed ? why : ExtractResult{ExtractOutcome::Truncated};
}

// One file entry at the cursor, for `path`: with `write` off its data are
// only passed. The content streams into a ReplacementFile, checked on the
// way, and replaces the target only once it is whole and sound.
ExtractResult extractEntry(const PackageEntry& entry, const std::string& path, bool write, DataCursor& data) {
    if (!write) return passOver(entry, data, {ExtractOutcome::Kept});
    const std::uint64_t blockStart = data.position();
    ReplacementFile replacement;
    if (const FileResult created = replacement.create(path); !created)
        return passOver(entry, data, {ExtractOutcome::WriteFailed, created});
    FileSink<ReplacementFile> fresh(replacement);
    const ExtractResult read = resultOf(streamEntryData(entry, data, fresh), fresh);
    if (read.outcome != ExtractOutcome::Written) return read;
    const FileResult times = replacement.setTimes(entry.created, entry.modified);  // all data first, then the times
    const FileResult replaced = replacement.replaceTarget();
    if (replaced) return withTimes(times);

    // A file that cannot be replaced, such as one a program holds open while
    // letting others write, is emptied and written in place instead, keeping
    // its attributes: its block is read a second time for that. A file that
    // cannot be opened so either stays for the replacement's cause.
    OutputFile file;
    if (!file.truncateExisting(path)) return {ExtractOutcome::WriteFailed, replaced};
    FileSink<OutputFile> inPlace(file);
    DataCursor again = data.from(blockStart);
    const ExtractResult rewritten = resultOf(streamEntryData(entry, again, inPlace), inPlace);
    if (rewritten.outcome != ExtractOutcome::Written) return {ExtractOutcome::WriteFailed, rewritten.cause};
    return withTimes(file.setTimes(entry.created, entry.modified));
}

}  // namespace

std::vector<ExtractResult> extractAll(const PackageReader& package, const std::string& destination,
                                      const std::string& keepList) {
    const std::vector<PackageEntry>& entries = package.entries();
    const std::vector<std::string> keep = parseKeepList(keepList);
    std::vector<ExtractResult> results;

    DataCursor data(package.file(), package.dataStart(), package.dataEnd());
    FolderWalk folders;
    folders.open(destination);
    results.reserve(entries.size());
    for (const PackageEntry& entry : entries) {
        if (entry.kind != kFolderEntry && entry.kind != kFileEntry) {
            results.push_back({ExtractOutcome::UnknownKind});
            continue;
        }
        if (!isSafeEntryName(entry.name)) {
            results.push_back(passOver(entry, data, {ExtractOutcome::UnsafeName}));
            continue;
        }
        HeldFolder::Opened failure;
        const HeldFolder* folder = folders.enter(entry.kind == kFolderEntry ? entry.name : pathPartOf(entry.name), failure);
        if (folder == nullptr) {
            const bool link = failure.kind == HeldFolder::Opened::Link;
            results.push_back(passOver(entry, data, link ? ExtractResult{ExtractOutcome::LinkInWay}
                                                         : ExtractResult{ExtractOutcome::FolderFailed, failure.cause}));
            continue;
        }
        if (entry.kind == kFolderEntry) {
            results.push_back({ExtractOutcome::FolderMade});
            continue;
        }
        const std::string path = folder->path() + entry.name.substr(pathPartOf(entry.name).size());
        const bool mayOverwrite = std::find(keep.begin(), keep.end(), extensionOf(entry.name)) == keep.end();
        if (!mayOverwrite && fileExists(path)) {
            results.push_back(extractEntry(entry, path, false, data));
        } else if (entry.size > folder->freeSpace()) {
            results.push_back(passOver(entry, data, {ExtractOutcome::NoSpace}));
        } else {
            results.push_back(extractEntry(entry, path, true, data));
        }
    }
    return results;
}

bool extractedWell(ExtractOutcome outcome) {
    return outcome == ExtractOutcome::Written || outcome == ExtractOutcome::FolderMade ||
           outcome == ExtractOutcome::Kept;
}

std::string problemOf(const PackageEntry& entry, const ExtractResult& result) {
    switch (result.outcome) {
        case ExtractOutcome::Written:
        case ExtractOutcome::FolderMade:
        case ExtractOutcome::Kept: return {};
        case ExtractOutcome::UnsafeName: return std::string(kUnsafeNameProblem) + "; not written";
        case ExtractOutcome::LinkInWay: return "a folder on its way is a link, which is never followed; not written";
        case ExtractOutcome::FolderFailed:
            return withCause("a folder on its way could not be made", result.cause) + "; not written";
        case ExtractOutcome::NoSpace:
            return "its " + paddedNumber(entry.size, 1) + " bytes do not fit the destination's free space; not written";
        case ExtractOutcome::Damaged: return "packed block is damaged; not written";
        case ExtractOutcome::Truncated: return "data missing (truncated package); not written";
        case ExtractOutcome::WriteFailed: return withCause("file could not be written", result.cause);
        case ExtractOutcome::TimesFailed: return withCause("file written, but its times could not be set", result.cause);
        case ExtractOutcome::UnknownKind: return "unknown kind; passed over";
    }
    return {};
}

}  // namespace brindle
