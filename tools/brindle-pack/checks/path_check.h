#pragma once

#include <string>
#include <vector>

#include "checks/diagnostics.h"
#include "project/project.h"

namespace brindle::tool {

// Where a checked value stands, for the messages about it.
struct ValuePlace {
    std::string file;
    int line = 0;
    std::string what;  // "DefaultDir", "Task3 field 4"
};

// The macros that the installer replaces in a value of that kind.
enum class MacroUse {
    InstallFolder,  // DefaultDir: the path macros
    CopyFolder,     // copy tasks: %InstallDir%, %ProgDir% and the path macros
    IniValue,       // INI tasks: the path macros, %StartMenuDir% and %InstallDir%
};

// Warns of macros the installer leaves as written (unknown, or in other
// letter case) and of a backslash doubled behind a macro.
void checkMacros(const std::string& value, MacroUse use, const ValuePlace& place, Diagnostics& diagnostics);

// Warns of each macro in a value that the installer writes as it is.
void checkNoMacros(const std::string& value, const ValuePlace& place, Diagnostics& diagnostics);

// Warns when a copy task's target folder may not exist when the copy runs:
// the installer makes no folder for a copy.
void checkCopyFolder(const std::string& folder, const Project& project, const ValuePlace& place,
                     Diagnostics& diagnostics);

}  // namespace brindle::tool
