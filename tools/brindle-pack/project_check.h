// The checks of an install project, made before anything is packed.
#pragma once

#include "diagnostics.h"
#include "project.h"

namespace brindle::tool {

// An optional sign and decimal digits, nothing else.
bool isDecimal(const std::string& text);
// The number of a user-task key as the installer asks for them (Task1,
// Task2, ..., without leading zeros, in any letter case); 0 for other keys.
int taskKeyNumber(const std::string& key);

// Every check below.
void checkProject(const Project& project, Diagnostics& diagnostics);

// setup.ini: its encoding, groups, keys, numbers, and the files it names.
void checkSettings(const Project& project, Diagnostics& diagnostics);
// The user tasks of setup.ini.
void checkUserTasks(const Project& project, Diagnostics& diagnostics);
// The language files that setup.ini lists.
void checkLanguageFiles(const Project& project, Diagnostics& diagnostics);
// The trees: names, and the files brindle-pack itself adds.
void checkTrees(const Project& project, Diagnostics& diagnostics);

}  // namespace brindle::tool
