// The install step's sequence. Each step goes on after a failure of the one
// before (an uninstall entry is still worth having when one file failed),
// but a single failure turns the final status into the failure text. An
// installation over an earlier one of the same application carries that
// one's records on, so that the uninstall leaves nothing of either.
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
#include "package/entry_name.h"
#include "toolkit/canonical_path.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
// The user tasks' operations: progress lines go to the page, a copy over an
// existing file asks first, everything else is the system's.
class TaskActions : public UserTaskActions {
public:
    TaskActions(InstallView& view, InstallActions& actions) : view_(view), actions_(actions) {}
    void addProgressLine(const std::string& line) override { view_.addLine(line); }
    bool createShortcut(const Shortcut& shortcut) override {
        const bool made = actions_.createShortcut(shortcut);
        if (!made) view_.noteFailure(shortcut.linkFile, {});
        return made;
    }
    CopyOutcome copyFile(const std::string& source, const std::string& target) override {
        if (actions_.exists(target) && !view_.confirmReplace(source, target)) {
            view_.noteFile(target, {ExtractOutcome::Kept});
            return {true, {}};
        }
        const FileResult written = actions_.copyFile(source, target);
        view_.noteFile(target, {written ? ExtractOutcome::Written : ExtractOutcome::WriteFailed, written});
        return {false, written};
    }
    bool readFileStamp(const std::string& path, FileStamp& stamp) override {
        return actions_.readFileStamp(path, stamp);
    }
    bool registryKeyExists(std::uint32_t root, const std::string& key) override {
        return actions_.registryKeyExists(root, key);
    }
    bool writeRegistryString(std::uint32_t root, const std::string& key, const std::string& name,
                             const std::string& text) override {
        const bool written = actions_.writeRegistryStrings(root, key, {{name, text}});
        if (!written) view_.noteFailure(key + "\\" + name, {});
        return written;
    }

private:
    InstallView& view_;
    InstallActions& actions_;
};

// The files that the installation holds: written (with their times or
// without), or kept from before.
std::uint64_t installedBytes(const std::vector<PackageEntry>& entries, const std::vector<ExtractResult>& results) {
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < entries.size() && i < results.size(); ++i) {
        const ExtractOutcome outcome = results[i].outcome;
        if (entries[i].kind == kFileEntry && entries[i].size > 0 &&
            (outcome == ExtractOutcome::Written || outcome == ExtractOutcome::TimesFailed ||
             outcome == ExtractOutcome::Kept))
            bytes += std::uint64_t(entries[i].size);
    }
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
        // One spelling of the folder everywhere it is written, so that the
        // uninstaller recognises it as its own.
        installDir_ = canonicalFolder(view_.installFolder(), longForm_);
        if (!isAbsoluteFolder(installDir_)) return finish({});
        actions_.announceInstallDir(installDir_);
        readInstallSettings(ini_, settingsPath_, settings_);
        view_.addLine(titleLine(settings_));
        view_.addLine(authorLine(settings_));
        view_.addLine("");
        InstallationRecords earlier = earlierInstallation();
        copyFiles();
        view_.addLine("");
        registerUninstaller();
        ShortcutInputs links = shortcutInputs();
        const std::string desktopLink = makeDesktopLink(links);
        const std::string startMenuName = makeStartMenuLinks(links);
        rememberChoices(startMenuName, !desktopLink.empty());
        runTasks(links.startMenuDir);
        removeOldFiles(earlier);
        writeUninstallData(links.startMenuDir, desktopLink, earlier);
        return finish(installDir_);
    }

private:
    // `what` names what the failed step was to make, for the log; a step
    // that is no file operation has the platform's last error as its cause.
    void check(bool succeeded, const std::string& what) {
        if (!succeeded) view_.noteFailure(what, {});
        completed_ = completed_ && succeeded;
    }

    // A file operation's failure: in the list and the log with its cause.
    void noteFailed(const std::string& what, FileResult cause) {
        view_.noteFailure(what, cause);
        completed_ = false;
    }

    // True on success; a failure is named in the list with its cause.
    bool succeeded(FileResult result, const std::string& what) {
        if (!result) {
            view_.addLine(withCause(what, result));
            noteFailed(what, result);
        }
        return bool(result);
    }

    bool makeFolder(const std::string& folder) {
        return actions_.exists(folder) || succeeded(actions_.createFolderChain(folder), folder);
    }

    // The records of an earlier installation of this application into this
    // folder, read before the copy puts the new template in their place:
    // all of them while the uninstall entry vouches for the file, otherwise
    // only what lies inside the folder. Another application's file, or one
    // written for another folder, is none of this installation's business.
    InstallationRecords earlierInstallation() {
        const std::string path = installDir_ + "uninstall.dat";
        std::string content;
        if (settings_.noUninstall != 0 || !actions_.readFile(path, content)) return {};
        PreferenceFile file;
        file.load(path, content);
        file.selectGroup("Settings");
        const std::string guid = file.readString("GUID");
        const bool sameApplication = guid.empty() && settings_.guid.empty()
                                         ? file.readString("ProgName") == settings_.titel
                                         : foldCase(guid) == foldCase(settings_.guid);
        const std::string progDir = canonicalFolder(file.readString("ProgDir"), longForm_);
        if (!sameApplication || foldCase(progDir) != foldCase(installDir_)) return {};
        InstallationRecords records;
        readInstallationRecords(file, records);
        const std::string entryKey = uninstallEntryKey(settings_.guid, settings_.progLink);
        const std::uint32_t entryRoot = kLocalMachine | actions_.registryView();
        const bool trusted = recordsTrusted(actions_.sha256(content),
                                            actions_.readRegistryString(entryRoot, entryKey, kUninstallDataHash),
                                            actions_.readRegistryString(entryRoot, entryKey, "UninstallString"),
                                            installDir_);
        return trusted ? records : insideOnly(records, installDir_);
    }

    // The folders above the installation folder that the step makes: the
    // uninstall removes them again, once empty, and never one that was there.
    std::string firstMissingFolderAbove() {
        std::string top;
        for (std::string folder = pathPartOf(installDir_.substr(0, installDir_.size() - 1));
             folder.size() > rootLength(folder) && !actions_.exists(folder);
             folder = pathPartOf(folder.substr(0, folder.size() - 1)))
            top = folder;
        return top;
    }

    void copyFiles() {
        const int copyLine = view_.addLine(copyingLine(texts_));
        std::vector<PackageEntry> entries;
        std::vector<ExtractResult> results;
        const bool existed = actions_.exists(installDir_);
        if (!existed) made_.madeAbove = firstMissingFolderAbove();
        const bool folderMade = existed || succeeded(actions_.createInstallFolder(installDir_), installDir_);
        const std::string packagePath = workDirectory_ + "setup.pck";
        const bool packageRead =
            folderMade && actions_.extractPackage(packagePath, installDir_, settings_.noCopyExt, entries, results);
        if (folderMade && !packageRead) view_.noteFailure(packagePath, {});
        installedBytes_ = installedBytes(entries, results);
        for (std::size_t i = 0; i < entries.size() && i < results.size(); ++i) {
            if (entries[i].kind != kFileEntry && results[i].outcome == ExtractOutcome::FolderMade) continue;
            view_.noteFile(installDir_ + entries[i].name, results[i]);
            if (entries[i].kind != kFileEntry) continue;
            shippedFiles_.push_back(entries[i].name);
            if (results[i].outcome == ExtractOutcome::Kept) keptFiles_.push_back(entries[i].name);
        }
        copied_ = copyCompleted(packageRead, results);
        completed_ = completed_ && copied_;
        view_.replaceLine(copyLine, copiedLine(texts_, copied_));
        for (const std::string& line : failureLines(entries, results)) view_.addLine(line);
    }

    void registerUninstaller() {
        if (settings_.progLink.empty() || settings_.noUninstall != 0) return;
        const UninstallEntryInputs entry{settings_.guid,   settings_.progLink, settings_.titel,
                                         settings_.version, settings_.author,  settings_.web,
                                         settings_.eMail,  installDir_,        settings_.progExe,
                                         installedBytes_,  actions_.today(),  actions_.registryView()};
        entryWritten_ = actions_.writeRegistryStrings(kLocalMachine | entry.registryView,
                                                      uninstallEntryKey(entry.guid, entry.progLink),
                                                      uninstallEntryValues(entry));
        check(entryWritten_, "HKEY_LOCAL_MACHINE\\" + uninstallEntryKey(entry.guid, entry.progLink));
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
        check(actions_.createShortcut(desktop), desktop.linkFile);
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
        makeFolder(links.startMenuDir);
        for (const Shortcut& shortcut : startMenuShortcuts(links))
            check(actions_.createShortcut(shortcut), shortcut.linkFile);
        return name;
    }

    // Only with a GUID: without one, every application would share the key.
    void rememberChoices(const std::string& startMenuName, bool desktopIcon) {
        if (settings_.guid.empty()) return;
        const std::string key = rememberedChoicesKey(settings_.guid);
        check(actions_.writeRegistryStrings(kCurrentUser | actions_.registryView(), key,
                                            rememberedChoicesValues({installDir_, startMenuName, desktopIcon ? "1" : "0"})),
              "HKEY_CURRENT_USER\\" + key);
    }

    void runTasks(const std::string& startMenuDir) {
        TaskActions taskActions(view_, actions_);
        const FolderLookup folderPath = [this](int code) { return actions_.folderPath(code); };
        UserTaskResult result =
            runUserTasks(ini_, {settingsPath_, workDirectory_, installDir_, startMenuDir, folderPath, actions_.registryView()},
                         taskActions, texts_.get(Text::InstallMsg6));
        check(result.allDone, texts_.get(Text::InstallMsg6));
        result.made.madeAbove = made_.madeAbove;
        made_ = std::move(result.made);
    }

    // With RemoveOldFiles the earlier version's files that this one no longer
    // ships go now, each listed, rather than with the uninstall, then the
    // folders on their way that this leaves empty (each file's deepest
    // first, once all files are gone); what cannot go stays on the record.
    // Only after a whole copy: without the package's list every earlier file
    // would look dropped.
    void removeOldFiles(InstallationRecords& earlier) {
        if (settings_.removeOldFiles == 0 || !copied_) return;
        std::vector<std::string> old;
        for (const std::string& name : earlier.files)
            if (isSafeEntryName(name) && !listsEntry(shippedFiles_, name)) old.push_back(name);
        if (old.empty()) return;
        view_.addLine(texts_.get(Text::InstallRemoveOld));
        std::vector<std::string> removed;
        for (const std::string& name : old) {
            const FileResult gone = actions_.removeFile(installDir_, name);
            view_.addLine("   " + withCause(name, gone));
            if (gone) removed.push_back(name);
            else noteFailed(installDir_ + name, gone);
        }
        for (const std::string& name : removed)
            for (std::string folder = pathPartOf(name); !folder.empty();
                 folder = pathPartOf(folder.substr(0, folder.size() - 1)))
                succeeded(actions_.removeFolderIfEmpty(installDir_, folder), installDir_ + folder);
        std::erase_if(earlier.files, [&](const std::string& name) { return listsEntry(removed, name); });
    }

    // The file's hash goes into the uninstall entry once the file is whole.
    void writeUninstallData(const std::string& startMenuDir, const std::string& desktopLink,
                            InstallationRecords& earlier) {
        if (settings_.noUninstall != 0) return;
        UninstallInputs uninstall;
        uninstall.installDir = installDir_;
        uninstall.progExe = settings_.progExe;
        uninstall.guid = settings_.guid;
        uninstall.progLink = settings_.progLink;
        uninstall.exe = settings_.exe;
        uninstall.startMenuDir = startMenuDir;
        uninstall.desktopLink = desktopLink;
        uninstall.made = std::move(made_);
        uninstall.made.registryView = actions_.registryView();
        uninstall.keptFiles = keptFiles_;
        uninstall.earlier = std::move(earlier);
        std::string content;
        const bool written = succeeded(actions_.writeUninstallData(uninstall, texts_, content),
                                       installDir_ + "uninstall.dat");
        if (!written || !entryWritten_) return;
        const std::string hash = actions_.sha256(content);
        const std::string entryKey = uninstallEntryKey(settings_.guid, settings_.progLink);
        check(!hash.empty() &&
                  actions_.writeRegistryStrings(kLocalMachine | actions_.registryView(), entryKey, {{kUninstallDataHash, hash}}),
              "HKEY_LOCAL_MACHINE\\" + entryKey + "\\" + kUninstallDataHash);
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
    const LongForm longForm_ = [this](const std::string& path) { return actions_.longForm(path); };
    std::string installDir_;
    std::uint64_t installedBytes_ = 0;
    std::vector<std::string> shippedFiles_, keptFiles_;  // the package's files, and those kept from before
    InstallationRecords made_;
    bool copied_ = false;
    bool entryWritten_ = false;
    bool completed_ = true;
};
}  // namespace

InstallResult runInstall(const std::string& workDirectory, PreferenceFile& ini, SetupSettings& settings,
                         const LanguageTexts& texts, InstallView& view, InstallActions& actions) {
    return InstallSequence(workDirectory, ini, settings, texts, view, actions).run();
}

}  // namespace brindle
