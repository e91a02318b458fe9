// The checks of an install project, made before anything is packed, and
// what the single checks share.
#pragma once

#include "checks/diagnostics.h"
#include "project/project.h"

namespace brindle::tool {

// An optional sign and decimal digits, nothing else.
bool isDecimal(const std::string& text);
// The number of a user-task key as the installer asks for them (Task1,
// Task2, ..., without leading zeros, in any letter case); 0 for other keys.
int taskKeyNumber(const std::string& key);

// What reading a settings or language file as text found.
void reportEncoding(const FileEncoding& encoding, const std::string& file, Diagnostics& diagnostics);

// Every check: setup.ini, its user tasks, the language files, the trees.
void checkProject(const Project& project, Diagnostics& diagnostics);

// The trees: names, and the files brindle-pack itself adds.
void checkTrees(const Project& project, Diagnostics& diagnostics);

}  // namespace brindle::tool
