// uninstall.dat: what the uninstaller needs to undo an installation, added
// to the template that setup.pck may have placed in the installation folder.
#pragma once

#include <string>
#include <vector>

#include "install/installation_records.h"

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
    // What this run's tasks and folders made (the task records and the
    // group Written), and the template's files it did not write but kept.
    InstallationRecords made;
    std::vector<std::string> keptFiles;
    // What an earlier installation into the folder left to undo.
    InstallationRecords earlier;
};

// Writes the groups Settings, Language, StartMenu, UserTask and Written
// into installDir + "uninstall.dat", keeping whatever the file holds
// already, with the template's file list as this run leaves it merged with
// the earlier installation's records. `content` receives the bytes written.
// A failure leaves the earlier file whole.
FileResult writeUninstallData(PreferenceFile& file, const UninstallInputs& inputs, const LanguageTexts& texts,
                              std::string& content);

}  // namespace brindle
