// The installer's entry: the one routine that runs from process start to
// exit, and the one exit, whose code follows from how the run ended.
#include <windows.h>
#include <setupapi.h>

#include "config/architecture.h"
#include "config/decimal.h"
#include "config/language_choice.h"
#include "config/language_texts.h"
#include "config/path_macros.h"
#include "config/preference_file.h"
#include "config/setup_settings.h"
#include "config/system_folders.h"
#include "install/install_step.h"
#include "install/remembered_choices.h"
#include "install/running_check.h"
#include "install/running_program.h"
#include "install/system_install_actions.h"
#include "package/extraction.h"
#include "package/package_reader.h"
#include "run/hooks.h"
#include "run/installed_program.h"
#include "run/package_verdict.h"
#include "run/run_ending.h"
#include "run/run_state.h"
#include "toolkit/file_paths.h"
#include "toolkit/files.h"
#include "toolkit/path_text.h"
#include "toolkit/private_folder.h"
#include "toolkit/programs.h"
#include "toolkit/system_libraries.h"
#include "toolkit/system_paths.h"
#include "toolkit/ui.h"
#include "toolkit/windows_platform.h"
#include "wizard/documents.h"
#include "wizard/install_page.h"
#include "wizard/language_chooser.h"
#include "wizard/start_menu_chooser.h"
#include "wizard/wizard_ids.h"
#include "wizard/wizard_loop.h"
#include "wizard/wizard_window.h"

namespace brindle {

namespace {
constexpr int kHeaderIconSlot = 1;
constexpr int kSidePictureSlot = 2;

// Before the wizard no language file can be trusted: these are in English.
constexpr char kOwnFileUnreadable[] = "The installer could not open its own file.";
constexpr char kNoWorkFolder[] = "The installer could not create its work folder in the temporary folder.";
constexpr char kDamaged[] = "The installer is damaged. Download it again.";
constexpr char kNotUnpacked[] = "The installer could not write its files into its work folder in the temporary folder.";

RunOutcome couldNotRun(const std::string& message) {
    MessageBoxA(nullptr, message.c_str(), " Setup", MB_OK | MB_ICONSTOP);
    return RunOutcome::CouldNotRun;
}

// Fills the wizard from setup.ini, the registry and the package's files, as
// it shows before the first event.
void fillWizard(RunState& run, PreferenceFile& ini, SetupSettings& settings, const LanguageTexts& texts,
                const InstallPlatform& platform, WizardContext& wizard) {
    loadFirstDocument(kLicenceEditor, run.workDirectory, "licence");
    ui::setChecked(kDeclineOption, true);
    loadFirstDocument(kReadmeEditor, run.workDirectory, "readme");

    readWizardSettings(ini, run.settingsPath, settings);
    run.startProgram = settings.startProg != 0;
    run.reboot = settings.reboot != 0;
    if (!settings.web.empty()) ui::setText(kWebLink, settings.web);
    else ui::show(kWebLink, false);
    wizard.programFolderName = programFolderName(settings.defaultDir);
    std::string installFolder =
        expand(settings.defaultDir, true, [&](int code) { return folderPath(code, platform.registryView); });
    const bool runsExe = programExtension(settings) == "exe";
    if (!runsExe) {
        ui::enable(kStartProgramCheck, false);
        run.startProgram = false;
    }
    if (settings.startMenu == 0)
        for (int control : {kStartMenuLabel, kStartMenuField, kStartMenuButton}) ui::enable(control, false);
    if (run.reboot) {
        run.startProgram = false;
        ui::enable(kStartProgramCheck, false);
    }

    const RememberedChoices remembered = readRememberedChoices(settings.guid, platform.registryView);
    if (!remembered.installDir.empty()) installFolder = remembered.installDir;
    wizard.defaultInstallFolder = installFolder;
    wizard.startMenuDefault = settings.startMenuDefaultDir;
    ui::setText(kFolderField, installFolder);
    ui::setText(kStartMenuField, !remembered.startMenu.empty() ? remembered.startMenu : settings.startMenuDefaultDir);
    ui::setChecked(kDesktopCheck, (!remembered.desktopIcon.empty() ? parseDecimal(remembered.desktopIcon)
                                                                     : settings.desktop) != 0);
    if (!runsExe) {
        ui::enable(kDesktopCheck, false);
        run.startProgram = false;
    }
    ui::setText(kStatusLine, texts.get(Text::InstallMsg0) + " " + settings.prgSize);

    const std::string picture = ensureTrailingBackslash(run.workDirectory) + settings.bitmap;
    if (fileExists(picture) && ui::loadImageFile(kSidePictureSlot, picture)) ui::showImage(kSidePicture, kSidePictureSlot);
    const std::string icon = run.workDirectory + "header.ico";
    if (fileExists(icon) && ui::loadImageFile(kHeaderIconSlot, icon)) ui::showImage(kHeaderIcon, kHeaderIconSlot);
    addSeparator();
}

// Cancel takes back the program start and the restart; a close request
// (the window's frame, the system) ends WhileBR.exe only as StartBR.exe
// asks, and runs no AfterBR.exe either.
void finishRun(RunState& run, const SetupSettings& settings, WizardEnd end, ProgramHandle& whileHook,
               ScopedPrivateFolder& workDirectory) {
    switch (end) {
        case WizardEnd::Cancelled:
            stopWhileHook(whileHook);
            run.startProgram = false;
            run.reboot = false;
            break;
        case WizardEnd::Finished:
            stopWhileHook(whileHook);
            run.startProgram = ui::checked(kStartProgramCheck);
            break;
        case WizardEnd::Closed: stopWhileHookOnClose(run.workDirectory, whileHook); break;
    }
    ui::closeWindow(kWizardWindow);
    if (end == WizardEnd::Finished) runAfterHook(run.workDirectory);
    const std::string program = run.installDir + settings.progExe;
    RunEnding ending = runEnding(run, fileExists(program));
    // Checked against setup.pck while the work directory still holds it.
    InstalledProgram installed;
    if (ending == RunEnding::StartProgram &&
        !installed.hold(run.installDir, settings.progExe, run.workDirectory + "setup.pck"))
        ending = RunEnding::Nothing;
    workDirectory.remove();
    switch (ending) {
        case RunEnding::RestartPrompt: SetupPromptReboot(nullptr, nullptr, FALSE); break;
        case RunEnding::StartProgram: startProgram(program, "", run.installDir, 0); break;
        case RunEnding::Nothing: break;
    }
}

RunOutcome runInstaller() {
    // The own image, opened first and held to the end without write or
    // delete sharing: the directory and every entry are read from the file
    // this process was started from, which nobody can rename or replace
    // meanwhile.
    InputFile ownImage;
    const bool imageOpen = ownImage.open(ownExecutablePath());
    ui::start();
    if (!imageOpen) return couldNotRun(kOwnFileUnreadable);
    // Without a folder of its own the installer has nowhere safe to unpack
    // to; it stops before anything is written. Once made, the folder goes on
    // every way out of this function, unless kept below.
    ScopedPrivateFolder workDirectory(temporaryFolder());
    if (workDirectory.path().empty()) return couldNotRun(kNoWorkFolder);
    RunState run;
    run.workDirectory = workDirectory.path();
    run.settingsPath = run.workDirectory + "setup.ini";
    ui::loadProgramIcon(kHeaderIconSlot);

    // Unpacking checks every block; a damaged package stops the run here.
    // A bare stub has no package and runs with every setting's default.
    PackageReader package;
    const PackageRead read = package.readDirectory(ownImage, PackageFile::Installer);
    switch (judgeOwnPackage(read, extractAll(package, run.workDirectory, ""))) {
        case PackageVerdict::Sound: break;
        case PackageVerdict::Damaged: return couldNotRun(kDamaged);
        case PackageVerdict::NotWritten: return couldNotRun(kNotUnpacked);
    }

    PreferenceFile ini;
    SetupSettings settings;
    readStartupSettings(ini, run.settingsPath, settings);
    LanguageTexts texts(settings.titel, settings.version);
    run.languageFile = chooseLanguageFile(settings.language, GetUserDefaultLangID(), [&](const std::string& setting) {
        return chooseLanguage(setting, run.workDirectory);
    });
    texts.load(ini, run.workDirectory + run.languageFile);
    const InstallPlatform platform = installPlatform(architectureOf(settings.architecture), windowsIs64Bit());
    if (!platform.runs) return couldNotRun(texts.get(Text::RequesterRQ6Msg));
    useNativeFiles(platform.nativeFiles);

    run.alreadyRunning = isProgramRunning(settings.mutexString, settings.progExe);
    const std::string warning =
        runningWarningText(texts.get(Text::RequesterRQ4Msg), texts.get(Text::RequesterRQ4Msg2), settings.titel);
    if (run.alreadyRunning && !confirmRunningProgram(texts.get(Text::RequesterRQ4Titel), warning))
        return RunOutcome::Ended;
    if (!runBeforeHook(run.workDirectory)) {
        // BeforeBR.exe asked to end the installer: the work directory stays,
        // for what the hook may have started from it.
        workDirectory.keep();
        return RunOutcome::Ended;
    }

    run.windowTitle = settings.version.empty() ? settings.titel : settings.titel + " " + settings.version;
    if (!buildWizard(run.windowTitle, texts)) return RunOutcome::Ended;
    ui::showImage(kHeaderIcon, kHeaderIconSlot);
    SystemInstallActions installActions(platform.registryView);
    const auto install = [&] {
        InstallPage page(texts, run.startProgram);
        run.installDir = runInstall(run.workDirectory, ini, settings, texts, page, installActions).installDir;
    };
    WizardContext wizard{texts, {}, {}, {}, install, [&] { return chooseStartMenuFolder(texts); }};
    fillWizard(run, ini, settings, texts, platform, wizard);
    ProgramHandle whileHook;
    startWhileHook(run.workDirectory, whileHook);

    const WizardEnd end = runWizardLoop(wizard);
    finishRun(run, settings, end, whileHook, workDirectory);
    return RunOutcome::Ended;
}
}  // namespace

}  // namespace brindle

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    brindle::restrictLibrarySearch();
    const unsigned code = brindle::exitCodeOf(brindle::runInstaller());
    brindle::ui::stop();
    ExitProcess(code);
}
