// Entries that Windows would take for one another: two entries of one name,
// or a file and a folder of one name. Only one of them can exist, so the
// package does not extract as its directory says.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "package/package_format.h"

namespace brindle::tool {

struct NameClash {
    std::size_t index;    // the later entry
    std::size_t earlier;  // the first entry of that name
};

// Names are compared as Windows compares them: letters without case, "/"
// as "\", and without the blanks and dots Windows drops at a name's end or
// a folder's final "\". In directory order of the later entries.
std::vector<NameClash> nameClashes(const std::vector<PackageEntry>& entries);

// One line for people about a clash.
std::string describeClash(const std::vector<PackageEntry>& entries, const NameClash& clash);

}  // namespace brindle::tool
