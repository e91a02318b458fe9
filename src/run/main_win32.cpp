// The installer's entry: the one routine that runs from process start to
// exit, with the wizard or, with /S, without any window, and the one exit,
// whose code follows from how the run ended.
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
#include "run/log_lines.h"
#include "run/logged_view.h"
#include "run/package_verdict.h"
#include "run/run_ending.h"
#include "run/run_log.h"
#include "run/run_state.h"
#include "run/setup_arguments.h"
#include "run/unattended_view.h"
#include "toolkit/command_words.h"
#include "toolkit/file_paths.h"
#include "toolkit/files.h"
#include "toolkit/path_text.h"
#include "toolkit/private_folder.h"
#include "toolkit/program_start.h"
#include "toolkit/programs.h"
#include "toolkit/system_libraries.h"
#include "toolkit/system_paths.h"
#include "toolkit/ui.h"
#include "toolkit/windows_platform.h"
#include "wizard/documents.h"
#include "wizard/install_page.h"
#include "wizard/language_chooser.h"
#include "wizard/start_menu_chooser.h"
#include "wizard/version_dialog.h"
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

constexpr char kSwitches[] =
    "setup.exe [/S] [/LANG=N] [/NOICONS] [/FORCE] [/LOG=FILE] [/D=FOLDER]\n\n"
    "/S\tno window: installs with the choices the wizard starts with; deploying\n"
    "\tthe installer this way accepts its licence\n"
    "/D=FOLDER\tthe installation folder; last on the line, without quotes\n"
    "/LANG=N\tthe language file for primary language N, without asking\n"
    "/NOICONS\tno desktop icon and no start-menu folder\n"
    "/LOG=FILE\ta log of the run (UTF-8)\n"
    "/FORCE\twith /S: installs while the application runs\n"
    "/? /HELP\tthis help\n\n"
    "Exit codes: 0 installed; 1 cancelled; 2 could not run; 3 the application is running\n"
    "(/S without /FORCE); 4 the installation failed; 3010 installed, restart needed.";

// What a run reports before the wizard, in a message box unless unattended,
// and in the log.
class Report {
public:
    Report(bool silent, RunLog& log) : silent_(silent), log_(log) {}
    RunOutcome couldNotRun(const std::string& message) {
        log_.write(message);
        if (!silent_) MessageBoxA(nullptr, message.c_str(), " Setup", MB_OK | MB_ICONSTOP);
        return RunOutcome::CouldNotRun;
    }

private:
    bool silent_;
    RunLog& log_;
};

// The choices the settings page starts with: the command line's folder,
// else the remembered one, else DefaultDir; the remembered start-menu folder
// and desktop icon, else the settings'. /NOICONS takes the icons away.
StartChoices startChoices(SetupSettings& settings, const SetupArguments& arguments, std::uint32_t registryView) {
    const RememberedChoices remembered = readRememberedChoices(settings.guid, registryView);
    StartChoices choices;
    choices.installFolder = !arguments.installDir.empty()  ? arguments.installDir
                            : !remembered.installDir.empty() ? remembered.installDir
                                                             : expand(settings.defaultDir, true,
                                                                      [&](int code) { return folderPath(code, registryView); });
    choices.startMenuFolder = !remembered.startMenu.empty() ? remembered.startMenu : settings.startMenuDefaultDir;
    choices.desktopIcon =
        (!remembered.desktopIcon.empty() ? parseDecimal(remembered.desktopIcon) : settings.desktop) != 0;
    if (arguments.noIcons) {
        settings.startMenu = 0;
        choices.desktopIcon = false;
    }
    return choices;
}

// Fills the wizard from setup.ini, the registry and the package's files, as
// it shows before the first event.
void fillWizard(RunState& run, PreferenceFile& ini, SetupSettings& settings, const LanguageTexts& texts,
                const SetupArguments& arguments, const InstallPlatform& platform, WizardContext& wizard) {
    loadFirstDocument(kLicenceEditor, run.workDirectory, "licence");
    ui::setChecked(kDeclineOption, true);
    loadFirstDocument(kReadmeEditor, run.workDirectory, "readme");

    readWizardSettings(ini, run.settingsPath, settings);
    run.startProgram = settings.startProg != 0;
    run.reboot = settings.reboot != 0;
    const StartChoices choices = startChoices(settings, arguments, platform.registryView);
    if (!settings.web.empty()) ui::setText(kWebLink, settings.web);
    else ui::show(kWebLink, false);
    wizard.programFolderName = programFolderName(settings.defaultDir);
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

    wizard.defaultInstallFolder = choices.installFolder;
    wizard.startMenuDefault = settings.startMenuDefaultDir;
    ui::setText(kFolderField, choices.installFolder);
    ui::setText(kStartMenuField, choices.startMenuFolder);
    ui::setChecked(kDesktopCheck, choices.desktopIcon);
    if (!runsExe || arguments.noIcons) ui::enable(kDesktopCheck, false);
    if (!runsExe) run.startProgram = false;
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

void recordInstall(RunState& run, const InstallResult& result) {
    run.installDir = result.installDir;
    run.installStep = result.completed ? InstallStep::Completed : InstallStep::Failed;
}

// The unattended run: the install step with the wizard's start values, the
// hooks as around the wizard's Finish; no restart and no program start.
RunOutcome installUnattended(RunState& run, PreferenceFile& ini, SetupSettings& settings, const LanguageTexts& texts,
                             const SetupArguments& arguments, const InstallPlatform& platform, RunLog& log) {
    readWizardSettings(ini, run.settingsPath, settings);
    run.reboot = settings.reboot != 0;
    const StartChoices choices = startChoices(settings, arguments, platform.registryView);
    ProgramHandle whileHook;
    startWhileHook(run.workDirectory, whileHook);
    UnattendedView quiet(choices, newFileIsNewer, log);
    LoggedView view(quiet, log, settings.startMenu != 0);
    SystemInstallActions installActions(platform.registryView);
    recordInstall(run, runInstall(run.workDirectory, ini, settings, texts, view, installActions));
    stopWhileHook(whileHook);
    runAfterHook(run.workDirectory);
    if (run.reboot) log.write("a restart is needed to finish the installation");
    return installOutcome(run);
}

RunOutcome runInstaller(const SetupArguments& arguments, RunLog& log) {
    // The own image, opened first and held to the end without write or
    // delete sharing: the directory and every entry are read from the file
    // this process was started from, which nobody can rename or replace
    // meanwhile.
    InputFile ownImage;
    const bool imageOpen = bool(ownImage.open(ownExecutablePath()));
    ui::start();
    Report report(arguments.silent, log);
    if (!arguments.usable() || (arguments.silent && !arguments.installDir.empty() &&
                                !isAbsoluteFolder(arguments.installDir))) {
        const std::string wrong = arguments.usable() ? "/D=" + arguments.installDir : arguments.wrong.front();
        return report.couldNotRun("Unknown or incomplete switch: " + wrong + "\n\n" + kSwitches);
    }
    if (arguments.help) {
        MessageBoxA(nullptr, kSwitches, " Setup", MB_OK | MB_ICONINFORMATION);
        return RunOutcome::HelpShown;
    }
    if (!imageOpen) return report.couldNotRun(kOwnFileUnreadable);
    // Without a folder of its own the installer has nowhere safe to unpack
    // to; it stops before anything is written. Once made, the folder goes on
    // every way out of this function, unless kept below.
    ScopedPrivateFolder workDirectory(temporaryFolder());
    if (workDirectory.path().empty()) return report.couldNotRun(kNoWorkFolder);
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
        case PackageVerdict::Damaged: return report.couldNotRun(kDamaged);
        case PackageVerdict::NotWritten: return report.couldNotRun(kNotUnpacked);
    }

    PreferenceFile ini;
    SetupSettings settings;
    readStartupSettings(ini, run.settingsPath, settings);
    LanguageTexts texts(settings.titel, settings.version);
    // A language asked for on the command line, or an unattended run, never
    // brings up the chooser: where no file is listed for the language, the
    // first listed one serves.
    const bool askUser = !arguments.silent && arguments.language == 0;
    run.languageFile = chooseLanguageFile(
        settings.language, arguments.language != 0 ? arguments.language : GetUserDefaultLangID(),
        [&](const std::string& setting) {
            return askUser ? chooseLanguage(setting, run.workDirectory) : firstLanguageFile(setting);
        });
    texts.load(ini, run.workDirectory + run.languageFile);
    log.write("language file: " + run.languageFile);
    const InstallPlatform platform = installPlatform(architectureOf(settings.architecture), windowsIs64Bit());
    if (!platform.runs) return report.couldNotRun(texts.get(Text::RequesterRQ6Msg));
    useNativeFiles(platform.nativeFiles);

    run.alreadyRunning = isProgramRunning(settings.mutexString, settings.progExe);
    if (run.alreadyRunning) {
        log.write("the application is running: " + settings.progExe);
        const std::string warning =
            runningWarningText(texts.get(Text::RequesterRQ4Msg), texts.get(Text::RequesterRQ4Msg2), settings.titel);
        if (arguments.silent && !arguments.force) return RunOutcome::ProgramRunning;
        if (!arguments.silent && !confirmRunningProgram(texts.get(Text::RequesterRQ4Titel), warning))
            return RunOutcome::Cancelled;
    }
    if (!runBeforeHook(run.workDirectory)) {
        // BeforeBR.exe asked to end the installer: the work directory stays,
        // for what the hook may have started from it.
        log.write("BeforeBR.exe ended the installer");
        workDirectory.keep();
        return RunOutcome::Cancelled;
    }
    if (arguments.silent) return installUnattended(run, ini, settings, texts, arguments, platform, log);

    run.windowTitle = settings.version.empty() ? settings.titel : settings.titel + " " + settings.version;
    if (!buildWizard(run.windowTitle, texts)) return report.couldNotRun("The installer could not make its window.");
    ui::showImage(kHeaderIcon, kHeaderIconSlot);
    SystemInstallActions installActions(platform.registryView);
    const auto install = [&] {
        InstallPage page(texts, run.startProgram);
        LoggedView view(page, log, settings.startMenu != 0);
        recordInstall(run, runInstall(run.workDirectory, ini, settings, texts, view, installActions));
    };
    WizardContext wizard{texts, {}, {}, {}, install, [&] { return chooseStartMenuFolder(texts); }};
    fillWizard(run, ini, settings, texts, arguments, platform, wizard);
    ProgramHandle whileHook;
    startWhileHook(run.workDirectory, whileHook);

    const WizardEnd end = runWizardLoop(wizard);
    finishRun(run, settings, end, whileHook, workDirectory);
    return installOutcome(run);
}
}  // namespace

unsigned programMain() {
    restrictLibrarySearch();
    const std::string arguments = argumentsOf(GetCommandLineA());
    const SetupArguments parsed = parseSetupArguments(arguments);
    RunLog log;
    // Without the log it was asked for, a run could not be accounted for.
    const bool logged = parsed.logFile.empty() || log.open(parsed.logFile);
    log.write("command line: " + arguments);
    const RunOutcome outcome = logged ? runInstaller(parsed, log) : RunOutcome::CouldNotRun;
    const unsigned code = exitCodeOf(outcome);
    log.write(exitLogLine(code));
    ui::stop();
    return code;
}

}  // namespace brindle
