// The checks of the user tasks of setup.ini: their types, fields, macros and
// the folders their copies go to.
#pragma once

#include "checks/diagnostics.h"
#include "project/project.h"

namespace brindle::tool {

void checkUserTasks(const Project& project, Diagnostics& diagnostics);

}  // namespace brindle::tool
