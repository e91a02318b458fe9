// The folders of this machine that the removal rules need.
#pragma once

#include <string>
#include <vector>

#include "uninstall/protected_folders.h"

namespace brindle {

// The Windows folder and the system folders (the 32-bit one included): a
// file copied there stays, since other programs may share it.
std::vector<std::string> sharedFolders();

// The system's own folders, the program files folders, the user's profile
// and shell folders and the temporary folder, and the profiles' folder.
ProtectedFolders protectedFolders();

}  // namespace brindle
