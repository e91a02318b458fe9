#pragma once

#include <string>
#include <vector>

#include "package/package_reader.h"
#include "toolkit/files.h"

namespace brindle {

// What extraction did with one entry.
enum class ExtractOutcome {
    Written,       // file written with its times
    FolderMade,    // folder entry: the folder chain was created (or existed)
    Kept,          // keep list: an existing file was left untouched
    UnsafeName,    // the name would leave the destination; nothing written
    LinkInWay,     // a folder on the way (or the folder entry itself) is a
                   // link; nothing is made through it
    FolderFailed,  // a folder on the way (or the folder entry itself) could not
                   // be made (a file of that name is in the way); nothing written
    NoSpace,       // the file would not fit the volume's free space; not written
    Damaged,       // the block did not unpack to its size; nothing written
    Truncated,     // the package ends (or breaks off) before the entry's data
    WriteFailed,   // the file could not be written whole; an earlier file stays
                   // as it was unless it had to be written in place
    TimesFailed,   // the file was written whole, but its times could not be set
    UnknownKind,   // neither folder nor file; passed over
};

// One entry's outcome, with the system's cause where a file operation failed
// (FolderFailed, WriteFailed, TimesFailed).
struct ExtractResult {
    ExtractOutcome outcome;
    FileResult cause{};
};

// Writes every entry of the package read last into `destination`. Files
// whose extension is on `keepList` are written only where no file of that
// name exists. Nothing is made through a link below `destination`. Returns
// one result per entry, in directory order.
std::vector<ExtractResult> extractAll(const PackageReader& package, const std::string& destination,
                                      const std::string& keepList);

// True for the outcomes that leave the entry as the package has it.
bool extractedWell(ExtractOutcome outcome);

// What went wrong with `entry`, for people: "packed block is damaged; not
// written", "file could not be written: No space left on device"; empty
// when nothing did.
std::string problemOf(const PackageEntry& entry, const ExtractResult& result);

}  // namespace brindle
