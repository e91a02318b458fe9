// The installer's entry: the one routine that runs from process start to
// exit. The process always exits with code 0.
#include <windows.h>

#include "config/language_choice.h"
#include "config/language_texts.h"
#include "config/preference_file.h"
#include "config/setup_settings.h"
#include "package/extraction.h"
#include "package/package_reader.h"
#include "run/remembered_choices.h"
#include "run/run_state.h"
#include "run/system_paths.h"
#include "run/work_directory.h"

namespace brindle {

namespace {
// No language chooser window exists yet: a list without a match for the
// user's language keeps the built-in texts.
std::string chooseLanguage(const std::string&) { return {}; }

void runInstaller() {
    RunState run;
    run.workDirectory = createWorkDirectory(temporaryFolder());
    run.ownExecutable = ownExecutablePath();
    run.settingsPath = run.workDirectory + "setup.ini";
    run.currentPage = 1;
    run.reboot = false;

    // The package behind the own image; without one nothing is extracted
    // and every later step works with its defaults.
    PackageReader package;
    package.readDirectory(run.ownExecutable);
    extractAll(package, run.workDirectory, "");

    PreferenceFile ini;
    SetupSettings settings;
    readStartupSettings(ini, run.settingsPath, settings);
    LanguageTexts texts(settings.titel, settings.version);
    run.languageFile = chooseLanguageFile(settings.language, GetUserDefaultLangID(), chooseLanguage);
    texts.load(ini, run.workDirectory + run.languageFile);

    readWizardSettings(ini, run.settingsPath, settings);
    const RememberedChoices remembered = readRememberedChoices(settings.guid);
    (void)remembered;  // shown by the wizard

    removeWorkDirectory(run.workDirectory);
}
}  // namespace

}  // namespace brindle

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    brindle::runInstaller();
    ExitProcess(0);
}
