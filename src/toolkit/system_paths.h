// Where the running program and the user's temporary folder are.
#pragma once

#include <string>

namespace brindle {

// The user's temporary folder in its long form, ending in "\".
std::string temporaryFolder();
// Full path of the running executable.
std::string ownExecutablePath();
// `path` with every short (8.3) name in its long form; `path` as it is when
// the platform cannot tell (the path does not exist).
std::string longPathOf(const std::string& path);

}  // namespace brindle
