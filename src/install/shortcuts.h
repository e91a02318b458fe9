// Writing shell links (.lnk files).
#pragma once

#include "install/shortcut_plan.h"

namespace brindle {

// Writes the link; its folder must exist. True when the shell's link object
// could be made (the save itself may still have failed).
bool createShortcut(const Shortcut& shortcut);

}  // namespace brindle
