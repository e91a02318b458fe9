// Shell links read back through the shell's own link object, as Windows
// itself would follow them.
#pragma once

#include <string>

#include "outcome.h"

namespace robot {

// Four lines: target, working folder, icon file, icon index.
Outcome readShortcut(const std::string& path);

}  // namespace robot
