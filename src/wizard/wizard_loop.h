#pragma once

#include <functional>
#include <string>

#include "toolkit/programs.h"

namespace brindle {

class LanguageTexts;
struct RunState;

// What the wizard's handlers work with besides the run state.
struct WizardContext {
    RunState& run;
    const LanguageTexts& texts;
    std::string programFolderName;
    std::string defaultInstallFolder;  // as put into the folder field at start-up
    std::string startMenuDefault;
    ProgramHandle& whileHook;
    std::function<void()> runInstall;                 // the Install button
    std::function<std::string()> chooseStartMenu;     // the start-menu Change button
};

// Handles the wizard's events until Cancel, Finish or a close request.
void runWizardLoop(WizardContext& wizard);

}  // namespace brindle
