// The checks of setup.ini: its encoding, groups, keys, numbers, and the files
// it names.
#pragma once

#include "checks/diagnostics.h"
#include "project/project.h"

namespace brindle::tool {

void checkSettings(const Project& project, Diagnostics& diagnostics);

}  // namespace brindle::tool
