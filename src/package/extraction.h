#pragma once

#include <string>
#include <vector>

#include "package/package_reader.h"

namespace brindle {

// What extraction did with one entry.
enum class ExtractOutcome {
    Written,       // file written with its times
    FolderMade,    // folder entry: the folder chain was created (or existed)
    Kept,          // keep list: an existing file was left untouched
    UnsafeName,    // the name would leave the destination; nothing written
    LinkInWay,     // a folder on the way (or the folder entry itself) is a
                   // link; nothing is made through it
    FolderFailed,  // a folder on the way could not be made (a file of that
                   // name is in the way); nothing written
    NoSpace,       // the file would not fit the volume's free space; not written
    Damaged,       // the block did not unpack to its size; nothing written
    Truncated,     // the package ends (or breaks off) before the entry's data
    WriteFailed,   // the file could not be written whole; an earlier file stays
                   // as it was unless it had to be written in place
    UnknownKind,   // neither folder nor file; passed over
};

// Writes every entry of the package read last into `destination`. Files
// whose extension is on `keepList` are written only where no file of that
// name exists. Nothing is made through a link below `destination`. Returns
// one outcome per entry, in directory order.
std::vector<ExtractOutcome> extractAll(const PackageReader& package, const std::string& destination,
                                       const std::string& keepList);

}  // namespace brindle
