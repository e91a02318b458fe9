// The install step, run inside the Install button's event. The window is
// repainted at fixed points by draining the pending events; input during
// the step has no effect.
#include <windows.h>
#include <imagehlp.h>

#include "config/language_texts.h"
#include "config/path_macros.h"
#include "config/preference_file.h"
#include "config/setup_settings.h"
#include "config/system_folders.h"
#include "install/install_step.h"
#include "install/progress_lines.h"
#include "install/shortcuts.h"
#include "install/uninstall_data.h"
#include "install/uninstall_entry.h"
#include "install/user_tasks.h"
#include "install/version_checked_copy.h"
#include "package/extraction.h"
#include "toolkit/file_paths.h"
#include "package/package_reader.h"
#include "run/remembered_choices.h"
#include "run/run_state.h"
#include "toolkit/path_text.h"
#include "toolkit/registry.h"
#include "toolkit/ui.h"
#include "wizard/wizard_ids.h"

namespace brindle {

namespace {
void drainEvents() {
    ui::Event dropped;
    while (ui::takeEvent(dropped)) {
    }
}

void addLine(const std::string& text) { ui::addItem(kProgressList, text); }

class InstallTaskActions : public UserTaskActions {
public:
    explicit InstallTaskActions(const LanguageTexts& texts) : texts_(texts) {}
    void addProgressLine(const std::string& line) override { addLine(line); }
    void createShortcut(const Shortcut& shortcut) override { brindle::createShortcut(shortcut); }
    void copyFile(const std::string& source, const std::string& target) override {
        copyWithVersionCheck(source, target, texts_);
    }
    void writeRegistryString(std::uint32_t root, const std::string& key, const std::string& name,
                             const std::string& text) override {
        brindle::writeRegistryString(root, key, name, text);
    }

private:
    const LanguageTexts& texts_;
};
}  // namespace

void runInstall(RunState& run, PreferenceFile& ini, SetupSettings& settings, const LanguageTexts& texts) {
    ui::show(kInstallMessage, false);
    ui::show(kStatusLine, true);
    ui::show(kProgressList, true);
    ui::show(kBackButton, false);
    ui::show(kInstallButton, false);
    ui::setChecked(kStartProgramCheck, false);
    ui::setText(kStatusLine, texts.get(Text::Page05Install) + " .....");
    drainEvents();

    run.installDir = ensureTrailingBackslash(ui::text(kFolderField));
    SetEnvironmentVariableA("InstallDir", run.installDir.c_str());

    readInstallSettings(ini, run.settingsPath, settings);
    const UninstallEntryInputs entry{settings.guid, settings.progLink, settings.titel, settings.version,
                                     settings.author, settings.web, settings.eMail, run.installDir,
                                     settings.progExe};
    addLine(titleLine(settings));
    addLine(authorLine(settings));
    addLine("");
    drainEvents();
    addLine(copyingLine(texts));
    drainEvents();

    if (!fileExists(run.installDir)) MakeSureDirectoryPathExists(run.installDir.c_str());
    PackageReader package;
    const bool packageRead = package.readDirectory(run.workDirectory + "setup.pck");
    const std::vector<ExtractOutcome> outcomes = extractAll(package, run.installDir, settings.noCopyExt);
    ui::setItem(kProgressList, 3, copiedLine(texts, packageRead, outcomes));
    addLine("");
    drainEvents();

    if (!settings.progLink.empty() && settings.noUninstall == 0) {
        writeRegistryStrings(kLocalMachine, uninstallEntryKey(entry), uninstallEntryValues(entry));
        addLine(texts.get(Text::InstallMsg5));
        drainEvents();
    }

    ShortcutInputs links;
    links.installDir = run.installDir;
    links.progExe = settings.progExe;
    links.progLink = settings.progLink;
    links.iconIndex = settings.iconId;
    std::string desktopLink;
    const bool desktopIcon = ui::checked(kDesktopCheck);
    if (desktopIcon) {
        addLine(texts.get(Text::InstallMsg2));
        drainEvents();
        const Shortcut desktop = desktopShortcut(folderPath(kDesktopFolder), links);
        desktopLink = desktop.linkFile;
        createShortcut(desktop);
    }
    std::string startMenuName;
    if (settings.startMenu != 0) {
        addLine(texts.get(Text::InstallMsg3));
        drainEvents();
        readStartMenuSettings(ini, run.settingsPath, settings);
        startMenuName = startMenuFolderName(ui::text(kStartMenuField), settings.progExe);
        links.startMenuDir = startMenuDirOf(folderPath(kProgramsFolder), startMenuName);
        links.help = settings.help;
        links.url = settings.url;
        links.exe = settings.exe;
        links.unistall = settings.unistall;
        links.helpName = trimBlanks(texts.get(Text::InstallHelp));
        if (!fileExists(links.startMenuDir)) MakeSureDirectoryPathExists(links.startMenuDir.c_str());
        for (const Shortcut& shortcut : startMenuShortcuts(links)) createShortcut(shortcut);
    }
    writeRememberedChoices(settings.guid, {run.installDir, startMenuName, desktopIcon ? "1" : "0"});

    InstallTaskActions actions(texts);
    const std::vector<std::string> taskRecords =
        runUserTasks(ini, {run.settingsPath, run.workDirectory, run.installDir, links.startMenuDir, folderPath},
                     actions, texts.get(Text::InstallMsg6));

    if (settings.noUninstall == 0) {
        UninstallInputs uninstall;
        uninstall.installDir = run.installDir;
        uninstall.progExe = settings.progExe;
        uninstall.guid = settings.guid;
        uninstall.progLink = settings.progLink;
        uninstall.exe = settings.exe;
        uninstall.startMenuDir = links.startMenuDir;
        uninstall.desktopLink = desktopLink;
        uninstall.taskRecords = taskRecords;
        writeUninstallData(ini, uninstall, texts);
    }

    ui::setText(kInstallTitle, texts.get(Text::Page05Titel2));
    ui::setText(kStatusLine, texts.get(Text::Page05Ready));
    ui::setChecked(kStartProgramCheck, run.startProgram);
    ui::show(kStartProgramCheck, true);
    ui::show(kCancelButton, false);
    ui::show(kFinishButton, true);
}

}  // namespace brindle
