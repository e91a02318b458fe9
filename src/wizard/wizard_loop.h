#pragma once

#include <functional>
#include <string>

namespace brindle {

class LanguageTexts;

// How the wizard ended; run control acts on it (hook programs, the work
// directory, the program start).
enum class WizardEnd {
    Cancelled,  // the Cancel button
    Finished,   // the Finish button after the install step
    Closed,     // a close request from the window's frame or the system
};

// What the wizard's handlers work with.
struct WizardContext {
    const LanguageTexts& texts;
    std::string programFolderName;
    std::string defaultInstallFolder;  // as put into the folder field at start-up
    std::string startMenuDefault;
    std::function<void()> install;                 // the Install button, once the folder is accepted
    std::function<std::string()> chooseStartMenu;  // the start-menu Change button
};

// Handles the wizard's events until Cancel, Finish or a close request.
WizardEnd runWizardLoop(WizardContext& wizard);

}  // namespace brindle
