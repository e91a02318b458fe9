// A folder that one run makes for itself where others can write (the
// user's temporary folder), and that only this run may change.
#pragma once

#include <string>

namespace brindle {

// Creates `path`; false when anything of that name exists already (a folder,
// a file, a link), so that the folder is never one somebody else prepared.
// When the program runs elevated, the folder and everything later made in it
// admit only Administrators and SYSTEM: no unelevated process of the same
// user can plant or swap a file in it.
bool createPrivateFolder(const std::string& path);

// A fresh private folder below `parent` (ending in "\"): "Brindle-" and 16
// random hexadecimal digits, made with createPrivateFolder. Returns it with
// its trailing "\"; empty when none could be made (also for an empty parent).
std::string createFreshPrivateFolder(const std::string& parent);

// The access list createPrivateFolder gives the folder, as the platform
// reads the descriptor it builds back into text (SDDL); empty when it sets
// none (the program does not run elevated).
std::string privateFolderAccess();

}  // namespace brindle
