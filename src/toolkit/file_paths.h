// Whether a path exists, and making the folders along one: the two file
// questions every layer asks, built on the platform's file calls.
#pragma once

#include <string>

#include "toolkit/files.h"

namespace brindle {

// True when a file or folder of that name exists; a trailing "\" is ignored.
bool fileExists(const std::string& path);

// Creates the folders along `path`; only "\" ends a folder name, and the text
// after the last "\" is not created. Succeeds when every folder of the chain
// exists afterwards; otherwise the cause is the first folder's that failed.
FileResult createFolderChain(const std::string& path);

}  // namespace brindle
