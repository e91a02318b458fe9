// The checks of the language files that setup.ini lists: their entries,
// encoding and texts.
#pragma once

#include "checks/diagnostics.h"
#include "project/project.h"

namespace brindle::tool {

void checkLanguageFiles(const Project& project, Diagnostics& diagnostics);

}  // namespace brindle::tool
