#pragma once

#include <string>

namespace brindle {

// Makes the run's work directory below `temporaryFolder` (which ends in "\"):
// "Brindle\" when no such folder exists, otherwise a new sibling
// "Brindle-XXXXXXXX\". A folder that already exists is never taken over, so
// files of an earlier or a parallel run cannot act in this one. When no
// folder can be made, the path returned names a folder that does not exist:
// later reads then find nothing, as with an empty package.
std::string createWorkDirectory(const std::string& temporaryFolder);

// Deletes the files directly inside `workDirectory` and then the folder,
// which stays when anything is left in it (sub-folders are not entered).
// Does nothing for an empty path.
void removeWorkDirectory(const std::string& workDirectory);

}  // namespace brindle
