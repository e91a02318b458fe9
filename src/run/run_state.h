#pragma once

#include <string>

namespace brindle {

enum class InstallStep { NotRun, Completed, Failed };

// The state of one run of the installer, from start to exit.
struct RunState {
    std::string workDirectory;   // ends in "\"
    std::string settingsPath;    // work directory + "setup.ini"
    std::string languageFile;
    std::string windowTitle;
    std::string installDir;      // set by the install step (empty before it); ends in "\"
    InstallStep installStep = InstallStep::NotRun;
    bool alreadyRunning = false;
    bool startProgram = false;
    bool reboot = false;
};

}  // namespace brindle
