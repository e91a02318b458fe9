// Whether a path exists, and making the folders along one: the two file
// questions every layer asks, built on the platform's file calls.
#pragma once

#include <string>

#include "toolkit/files.h"

namespace brindle {

// True when a file or folder of that name exists; a trailing "\" is ignored.
bool fileExists(const std::string& path);

// Reads all of an open file; false when it cannot be read whole.
bool readWholeFile(InputFile& file, std::string& content);
// The same for a file named by its path.
bool readWholeFile(const std::string& path, std::string& content);

// False when `path` is no file that can be opened for reading.
bool readFileStamp(const std::string& path, FileStamp& stamp);

// Whether a folder on the way to `path` is a link (junction or symbolic
// link), looking at the folders that end after its first `from` characters:
// a removal through it would reach something else than it names.
bool linkOnTheWay(const std::string& path, std::size_t from);

// Creates the folders along `path`; only "\" ends a folder name, and the text
// after the last "\" is not created. Succeeds when every folder of the chain
// exists afterwards; otherwise the cause is the first folder's that failed.
FileResult createFolderChain(const std::string& path);

}  // namespace brindle
