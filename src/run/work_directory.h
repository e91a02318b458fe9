// The run's private work directory below the user's temporary folder, into
// which the package is extracted and from which the hook programs run.
#pragma once

#include <string>

namespace brindle {

// Makes a fresh folder "Brindle-" + 16 random hexadecimal digits below
// `temporaryFolder` (which ends in "\") and returns it with its trailing "\".
// A name that exists is never taken over, and an elevated run admits only
// Administrators and SYSTEM, so no other process of the user can plant or
// swap a file in it. The folder is held open until removeWorkDirectory, so
// that it cannot be renamed and replaced meanwhile. Empty when no folder
// could be made (also when `temporaryFolder` is empty).
std::string createWorkDirectory(const std::string& temporaryFolder);

// Removes the work directory with everything below it, never entering a
// link. Files that a running program holds open stay. Does nothing for an
// empty path.
void removeWorkDirectory(const std::string& workDirectory);

}  // namespace brindle
