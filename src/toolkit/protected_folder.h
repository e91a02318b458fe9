// The installation folder that an elevated run makes. A new folder inherits
// its access from the folder above it, and below a folder that ordinary
// users may add to (C:\, a user's own folders) that access lets them change
// what the elevated installer put there and what later runs elevated.
#pragma once

#include <string>

#include "toolkit/files.h"

namespace brindle {

// Makes the folders along `path` (ending in "\") that are missing. In an
// elevated run, when ordinary users (this user without the administrator
// rights, the groups every user is in) may add to or change the folder above
// the first folder it makes, that folder gets the program files folder's
// access instead: owned by Administrators, Administrators and SYSTEM full
// control, Users read and execute, inherited by everything below. Succeeds
// when every folder of the chain exists afterwards.
FileResult createProtectedFolderChain(const std::string& path);

// That access as the platform reads its descriptor back into text (SDDL);
// empty when the program does not run elevated.
std::string protectedFolderAccess();

}  // namespace brindle
