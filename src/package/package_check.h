#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "package/package_reader.h"

namespace brindle {

struct EntryProblem {
    std::size_t index;  // position in the entry list
    std::string what;   // one line, for people
};

// Reads every block of the package read last and checks what extraction
// relies on: names that stay inside the destination, known kinds, offsets
// that match the blocks' positions, blocks inside the data, and packed
// blocks that unpack to their size with a matching checksum.
std::vector<EntryProblem> checkPackage(const PackageReader& package);

}  // namespace brindle
