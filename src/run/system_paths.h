#pragma once

#include <string>

namespace brindle {

// The user's temporary folder in its long form, ending in "\".
std::string temporaryFolder();
// Full path of the running executable.
std::string ownExecutablePath();

}  // namespace brindle
