// How the settings page keeps its two folder fields consistent with the
// program's folder name and the start-menu default.
#pragma once

#include <string>

namespace brindle {

// The installation folder field after it lost the focus: the text with "\"
// and the program folder name added when it does not contain that name
// (an empty name is never contained); otherwise the text unchanged.
std::string checkedInstallFolder(const std::string& text, const std::string& programFolderName);

// A folder from the folder browser (ending in "\"): the program folder name
// is appended unless the folder already ends with it.
std::string browsedInstallFolder(const std::string& folder, const std::string& programFolderName);

// The start-menu field after it lost the focus: empty gives the default;
// a text that does not contain the default gets "\" and the default added.
std::string checkedStartMenuFolder(const std::string& text, const std::string& startMenuDefault);

// A folder from the start-menu chooser: the default's last name is appended
// unless the folder already ends with it.
std::string chosenStartMenuFolder(const std::string& folder, const std::string& startMenuDefault);

}  // namespace brindle
