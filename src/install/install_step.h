// The Install button: copies setup.pck's files into the chosen folder,
// registers the uninstaller, makes the shortcuts, runs the user tasks and
// writes uninstall.dat, telling the last page how each step went.
#pragma once

#include <string>

namespace brindle {

class InstallActions;
class InstallView;
class LanguageTexts;
class PreferenceFile;
struct SetupSettings;

struct InstallResult {
    std::string installDir;  // ends in "\"; empty when nothing was installed
    bool completed = false;  // every step succeeded
};

// `workDirectory` ends in "\" and holds setup.ini and setup.pck.
InstallResult runInstall(const std::string& workDirectory, PreferenceFile& ini, SetupSettings& settings,
                         const LanguageTexts& texts, InstallView& view, InstallActions& actions);

}  // namespace brindle
