// Whether the installer may go on with what it unpacked from its own image.
// It decides before the first page, so that a damaged download shows no
// wizard and installs nothing.
#pragma once

#include <vector>

#include "package/extraction.h"
#include "package/package_reader.h"

namespace brindle {

enum class PackageVerdict {
    Sound,       // every entry unpacked and written; or a bare stub, which runs with its defaults
    Damaged,     // bytes behind the image that are no sound package: cut short, changed, or not what was signed
    NotWritten,  // a sound package, but not every entry could be written into the work directory
};

// Judges the reading of the own image (`read`) and the extraction's results.
PackageVerdict judgeOwnPackage(PackageRead read, const std::vector<ExtractResult>& results);

}  // namespace brindle
