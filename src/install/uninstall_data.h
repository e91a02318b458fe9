// uninstall.dat: what the uninstaller needs to undo an installation, added
// to the template that setup.pck may have placed in the installation folder.
#pragma once

#include <string>
#include <vector>

#include "toolkit/files.h"

namespace brindle {

class LanguageTexts;
class PreferenceFile;

struct UninstallInputs {
    std::string installDir;    // ends in "\"
    std::string progExe;
    std::string guid;
    std::string progLink;      // may be empty
    std::string exe;           // StartMenue/Exe; empty without start-menu shortcuts
    std::string startMenuDir;  // ends in "\"; empty without start-menu shortcuts
    std::string desktopLink;   // empty when no desktop shortcut was made
    std::vector<std::string> taskRecords;
};

// Writes the groups Settings, Language, StartMenu and UserTask into
// installDir + "uninstall.dat", keeping whatever the file holds already.
// A failure leaves the earlier file whole.
FileResult writeUninstallData(PreferenceFile& file, const UninstallInputs& inputs, const LanguageTexts& texts);

}  // namespace brindle
