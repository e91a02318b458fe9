// How the commands that read a package (list, verify, extract, sign) open
// the file and read it, and what they say when that fails.
#pragma once

#include <string>

#include "package/package_reader.h"
#include "toolkit/files.h"

namespace brindle::tool {

// Opens `path` into `file` and reads its package into `package`: a file
// that starts with an executable image as an installer, by the rules the
// installer applies to its own image, unless its package begins at its first
// byte with that whole program stored raw (setup.pck whose first file is a
// signed program); any other file as a package. Empty when the package was
// read; otherwise "<path>: <why not>", for one line on stderr.
std::string readPackageFile(const std::string& path, InputFile& file, PackageReader& package);

// The same for a file that must be an installer.
std::string readInstallerFile(const std::string& path, InputFile& file, PackageReader& package);

// "<path>: <why not>" for a read that found no sound package; empty for one that did.
std::string packageReadProblem(const std::string& path, PackageRead read);

// Why the file at `path` cannot be the stub of an installer, or empty. A
// signed stub cannot: its signature covers only what lies in front of its
// certificate table, and the installer refuses a package behind the table.
std::string stubProblem(const std::string& path);

}  // namespace brindle::tool
