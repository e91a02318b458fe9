// Whether a file on disk is an entry of a package, byte for byte: the check
// that the program the run starts at its end is the one it installed.
#pragma once

#include <string>

#include "package/package_reader.h"

namespace brindle {

class InputFile;

// True when `file`, read from its start, holds exactly the content of the
// file entry `name` of the package read last; names are compared as Windows
// finds files (ASCII letters without case, "/" as "\"). False when the
// package has no such entry or its block is damaged.
bool fileMatchesEntry(const PackageReader& package, const std::string& name, InputFile& file);

}  // namespace brindle
