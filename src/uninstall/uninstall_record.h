// What uninstall.dat tells the uninstaller: the builder's template (program
// name, version, the DelAll switch, the mutex and the installed files) and
// what the installer added (folders, shortcuts, task records and texts).
#pragma once

#include <string>
#include <vector>

namespace brindle {

class PreferenceFile;

// The window's texts, "$Titel" already replaced by the program's name, and
// the two halves of Mutex for the running-program warning, as written.
struct UninstallTexts {
    std::string titel, msg, uninstInfo, delAll, error, status, ok, cancel, ready;
    std::string runningFirstLine, runningSecondLine;
};

struct UninstallRecord {
    std::string progName, version, mutexString;
    bool noDelAll = false;
    std::vector<std::string> files;  // relative to progDir, as the builder listed them
    std::string progDir;             // ends in "\"
    std::string progExe, guid, progLink, startMenu, desktopIcon;
    // Program, AddExe, Help, Homepage and Uninstall.
    std::vector<std::string> startMenuLinks;
    std::vector<std::string> taskRecords;  // in the order the tasks ran
    UninstallTexts texts;
};

// Reads `path`. False when the file cannot be read or its ProgDir is not
// `ownFolder` (ending in "\", compared without regard to ASCII case): data
// that describe another folder than the uninstaller's own are not its own.
bool readUninstallRecord(PreferenceFile& file, const std::string& path, const std::string& ownFolder,
                         UninstallRecord& record);

}  // namespace brindle
