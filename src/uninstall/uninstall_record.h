// What uninstall.dat tells the uninstaller: the builder's template (program
// name, version, the DelAll switch, the mutex and the installed files) and
// what the installer added (folders, shortcuts, task records and texts).
#pragma once

#include <string>
#include <vector>

#include "install/installation_records.h"
#include "toolkit/canonical_path.h"

namespace brindle {

class PreferenceFile;

// The window's texts, "$Titel" already replaced by the program's name, and
// the two halves of Mutex for the running-program warning, as written.
struct UninstallTexts {
    std::string titel, msg, uninstInfo, delAll, error, status, ok, cancel, ready, kept, changed;
    std::string runningFirstLine, runningSecondLine;
};

// The template's settings, what the installer added to them, and the
// installation's records.
struct UninstallRecord : InstallationRecords {
    std::string progName, version, mutexString;
    bool noDelAll = false;
    std::string progDir;  // canonical, ending in "\"
    std::string progExe, guid, progLink;
    UninstallTexts texts;
};

// Reads uninstall.dat from `content`, the bytes of the file at `path`. False
// when its ProgDir is not `ownFolder` (canonical, ending in "\"), compared in
// canonical form (the existing part long, through `longForm`) without regard
// to ASCII case: data that describe another folder than the uninstaller's
// own are not its own.
bool readUninstallRecord(PreferenceFile& file, const std::string& path, const std::string& content,
                         const std::string& ownFolder, UninstallRecord& record, const LongForm& longForm = {});

}  // namespace brindle
