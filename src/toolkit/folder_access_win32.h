// The access lists an elevated run gives the folders it makes where others
// could otherwise change them. Win32 only.
#pragma once

#include <windows.h>

#include <string>

namespace brindle {

// True when the program runs with its administrator rights (elevated).
bool runsElevated();

// Creates the folder `path`; in an elevated run with the access list
// `access` (SDDL) instead of the one it would inherit, unless `access` is
// null. False when it cannot be made (an existing name included).
bool createFolderWithAccess(const std::string& path, const char* access);

// The access list createFolderWithAccess gives from `access`, as the
// platform reads its descriptor back into text; empty when it gives none.
std::string elevatedAccessText(const char* access);

}  // namespace brindle
