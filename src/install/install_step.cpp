// The install step's sequence. Each step goes on after a failure of the one
// before (an uninstall entry is still worth having when one file failed),
// but a single failure turns the final status into the failure text.
#include "install/install_step.h"

#include "config/language_texts.h"
#include "config/path_macros.h"
#include "config/preference_file.h"
#include "config/setup_settings.h"
#include "install/install_actions.h"
#include "install/install_view.h"
#include "install/progress_lines.h"
#include "install/remembered_choices.h"
#include "install/uninstall_data.h"
#include "install/uninstall_entry.h"
#include "install/user_tasks.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
// The user tasks' operations: progress lines go to the page, a copy over an
// existing file asks first, everything else is the system's.
class TaskActions : public UserTaskActions {
public:
    TaskActions(InstallView& view, InstallActions& actions) : view_(view), actions_(actions) {}
    void addProgressLine(const std::string& line) override { view_.addLine(line); }
    bool createShortcut(const Shortcut& shortcut) override { return actions_.createShortcut(shortcut); }
    bool copyFile(const std::string& source, const std::string& target) override {
        if (actions_.exists(target) && !view_.confirmReplace(source, target)) return true;  // kept on purpose
        return actions_.copyFile(source, target);
    }
    bool writeRegistryString(std::uint32_t root, const std::string& key, const std::string& name,
                             const std::string& text) override {
        return actions_.writeRegistryStrings(root, key, {{name, text}});
    }

private:
    InstallView& view_;
    InstallActions& actions_;
};

// The files that the installation holds: written, or kept from before.
std::uint64_t installedBytes(const std::vector<PackageEntry>& entries, const std::vector<ExtractOutcome>& outcomes) {
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < entries.size() && i < outcomes.size(); ++i)
        if (entries[i].kind == kFileEntry && entries[i].size > 0 &&
            (outcomes[i] == ExtractOutcome::Written || outcomes[i] == ExtractOutcome::Kept))
            bytes += std::uint64_t(entries[i].size);
    return bytes;
}

class InstallSequence {
public:
    InstallSequence(const std::string& workDirectory, PreferenceFile& ini, SetupSettings& settings,
                    const LanguageTexts& texts, InstallView& view, InstallActions& actions)
        : workDirectory_(workDirectory), settingsPath_(workDirectory + "setup.ini"), ini_(ini),
          settings_(settings), texts_(texts), view_(view), actions_(actions) {}

    InstallResult run() {
        view_.showProgress(texts_.get(Text::Page05Install) + " .....");
        installDir_ = ensureTrailingBackslash(view_.installFolder());
        if (!isAbsoluteFolder(installDir_)) return finish({});
        actions_.announceInstallDir(installDir_);
        readInstallSettings(ini_, settingsPath_, settings_);
        view_.addLine(titleLine(settings_));
        view_.addLine(authorLine(settings_));
        view_.addLine("");
        copyFiles();
        view_.addLine("");
        registerUninstaller();
        ShortcutInputs links = shortcutInputs();
        const std::string desktopLink = makeDesktopLink(links);
        const std::string startMenuName = makeStartMenuLinks(links);
        rememberChoices(startMenuName, !desktopLink.empty());
        const std::vector<std::string> taskRecords = runTasks(links.startMenuDir);
        writeUninstallData(links.startMenuDir, desktopLink, taskRecords);
        return finish(installDir_);
    }

private:
    void check(bool succeeded) { completed_ = completed_ && succeeded; }

    void copyFiles() {
        const int copyLine = view_.addLine(copyingLine(texts_));
        std::vector<PackageEntry> entries;
        std::vector<ExtractOutcome> outcomes;
        const bool folderMade = actions_.exists(installDir_) || actions_.createInstallFolder(installDir_);
        const bool packageRead = folderMade && actions_.extractPackage(workDirectory_ + "setup.pck", installDir_,
                                                                       settings_.noCopyExt, entries, outcomes);
        installedBytes_ = installedBytes(entries, outcomes);
        const bool copied = copyCompleted(packageRead, outcomes);
        check(copied);
        view_.replaceLine(copyLine, copiedLine(texts_, copied));
    }

    void registerUninstaller() {
        if (settings_.progLink.empty() || settings_.noUninstall != 0) return;
        const UninstallEntryInputs entry{settings_.guid,   settings_.progLink, settings_.titel,
                                         settings_.version, settings_.author,  settings_.web,
                                         settings_.eMail,  installDir_,        settings_.progExe,
                                         installedBytes_,  actions_.today()};
        check(actions_.writeRegistryStrings(kLocalMachine, uninstallEntryKey(entry), uninstallEntryValues(entry)));
        view_.addLine(texts_.get(Text::InstallMsg5));
    }

    ShortcutInputs shortcutInputs() const {
        ShortcutInputs links;
        links.installDir = installDir_;
        links.progExe = settings_.progExe;
        links.progLink = settings_.progLink;
        links.iconIndex = settings_.iconId;
        return links;
    }

    // The desktop link's file, empty when none was wanted.
    std::string makeDesktopLink(const ShortcutInputs& links) {
        if (!view_.desktopIconWanted()) return {};
        view_.addLine(texts_.get(Text::InstallMsg2));
        const Shortcut desktop = desktopShortcut(actions_.folderPath(kDesktopFolder), links);
        check(actions_.createShortcut(desktop));
        return desktop.linkFile;
    }

    // The start-menu folder's name, empty without start-menu shortcuts.
    std::string makeStartMenuLinks(ShortcutInputs& links) {
        if (settings_.startMenu == 0) return {};
        view_.addLine(texts_.get(Text::InstallMsg3));
        readStartMenuSettings(ini_, settingsPath_, settings_);
        const std::string name = startMenuFolderName(view_.startMenuFolder(), settings_.progExe);
        links.startMenuDir = startMenuDirOf(actions_.folderPath(kProgramsFolder), name);
        links.help = settings_.help;
        links.url = settings_.url;
        links.exe = settings_.exe;
        links.unistall = settings_.unistall;
        links.helpName = trimBlanks(texts_.get(Text::InstallHelp));
        check(actions_.exists(links.startMenuDir) || actions_.createFolderChain(links.startMenuDir));
        for (const Shortcut& shortcut : startMenuShortcuts(links)) check(actions_.createShortcut(shortcut));
        return name;
    }

    // Only with a GUID: without one, every application would share the key.
    void rememberChoices(const std::string& startMenuName, bool desktopIcon) {
        if (settings_.guid.empty()) return;
        check(actions_.writeRegistryStrings(kCurrentUser, rememberedChoicesKey(settings_.guid),
                                            rememberedChoicesValues({installDir_, startMenuName, desktopIcon ? "1" : "0"})));
    }

    std::vector<std::string> runTasks(const std::string& startMenuDir) {
        TaskActions taskActions(view_, actions_);
        const FolderLookup folderPath = [this](int code) { return actions_.folderPath(code); };
        UserTaskResult result = runUserTasks(ini_, {settingsPath_, workDirectory_, installDir_, startMenuDir, folderPath},
                                             taskActions, texts_.get(Text::InstallMsg6));
        check(result.allDone);
        return std::move(result.records);
    }

    void writeUninstallData(const std::string& startMenuDir, const std::string& desktopLink,
                            const std::vector<std::string>& taskRecords) {
        if (settings_.noUninstall != 0) return;
        UninstallInputs uninstall;
        uninstall.installDir = installDir_;
        uninstall.progExe = settings_.progExe;
        uninstall.guid = settings_.guid;
        uninstall.progLink = settings_.progLink;
        uninstall.exe = settings_.exe;
        uninstall.startMenuDir = startMenuDir;
        uninstall.desktopLink = desktopLink;
        uninstall.taskRecords = taskRecords;
        check(actions_.writeUninstallData(uninstall, texts_));
    }

    InstallResult finish(const std::string& installDir) {
        const bool completed = completed_ && !installDir.empty();
        view_.showFinished(texts_.get(Text::Page05Titel2), texts_.get(completed ? Text::Page05Ready : Text::Page05Failed));
        return {installDir, completed};
    }

    const std::string workDirectory_;
    const std::string settingsPath_;
    PreferenceFile& ini_;
    SetupSettings& settings_;
    const LanguageTexts& texts_;
    InstallView& view_;
    InstallActions& actions_;
    std::string installDir_;
    std::uint64_t installedBytes_ = 0;
    bool completed_ = true;
};
}  // namespace

InstallResult runInstall(const std::string& workDirectory, PreferenceFile& ini, SetupSettings& settings,
                         const LanguageTexts& texts, InstallView& view, InstallActions& actions) {
    return InstallSequence(workDirectory, ini, settings, texts, view, actions).run();
}

}  // namespace brindle
