#include "uninstall/removal_plan.h"

#include <algorithm>

#include "config/decimal.h"
#include "install/remembered_choices.h"
#include "install/uninstall_entry.h"
#include "package/entry_name.h"
#include "toolkit/path_text.h"
#include "toolkit/registry.h"
#include "uninstall/uninstall_record.h"

namespace brindle {

namespace {
constexpr std::uint32_t kUsers = 0x80000003u;
constexpr char kDataName[] = "uninstall.dat";

bool endsWithLinkExtension(const std::string& path) {
    return path.size() > 4 && foldCase(path.substr(path.size() - 4)) == ".lnk";
}

bool isSoundLink(const std::string& path) { return endsWithLinkExtension(path) && isSoundAbsolutePath(path); }

bool isPlainName(const std::string& name) { return !name.empty() && name.find('\\') == std::string::npos; }

std::size_t depthOf(const std::string& folder) { return std::size_t(std::count(folder.begin(), folder.end(), '\\')); }

std::string backslashed(std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

class Planner {
public:
    Planner(const UninstallRecord& record, const RemovalContext& context) : record_(record), context_(context) {
        plan_.progDir = record.progDir;
        plan_.keptNames = {kDataName, context.ownName};
    }

    RemovalPlan plan() {
        for (auto task = record_.taskRecords.rbegin(); task != record_.taskRecords.rend(); ++task) userTask(*task);
        startMenu();
        if (!record_.desktopIcon.empty()) link(record_.desktopIcon);
        if (context_.deleteAll && mayDeleteAll(record_, context_.protectedFolders))
            add({RemovalKind::FolderContents, record_.progDir});
        else
            installedFiles();
        registryEntries();
        return std::move(plan_);
    }

private:
    void add(Removal removal) { plan_.steps.push_back(std::move(removal)); }
    void refuse(const std::string& entry) { plan_.refused.push_back(entry); }

    void planRemovalIfEmpty(const std::string& folder) {
        if (!isProtectedFolder(folder, context_.protectedFolders)) add({RemovalKind::EmptyFolder, folder});
    }

    void link(const std::string& path) {
        if (isSoundLink(path)) add({RemovalKind::File, path});
        else refuse(path);
    }

    // "root|key|value name" for a registry string, else the path of a link
    // or of a copied file ("|" is no character of a path).
    void userTask(const std::string& task) {
        if (task.find('|') != std::string::npos) return registryTask(task);
        if (!isSoundAbsolutePath(task)) return refuse(task);
        for (const std::string& shared : context_.sharedFolders)
            if (liesBelow(task, shared)) return;
        add({RemovalKind::File, task});
    }

    void registryTask(const std::string& task) {
        const std::string rootText = field(task, '|', 1), key = field(task, '|', 2), name = field(task, '|', 3);
        const auto root = std::uint32_t(parseDecimal(rootText));
        const bool knownRoot = root == kClassesRoot || root == kCurrentUser || root == kLocalMachine || root == kUsers;
        if (!knownRoot || rootText != std::to_string(root) || key.empty() ||
            std::count(task.begin(), task.end(), '|') != 2)
            return refuse(task);
        add({RemovalKind::RegistryValue, "", root, key, name});
        add({RemovalKind::EmptyRegistryKey, "", root, key});
    }

    // The links lie in the start-menu folder, which goes with its parents
    // while they are empty, up to the Programs folder. Without a start-menu
    // folder the installer made no links, and the names it wrote are bare.
    void startMenu() {
        const std::string& folder = record_.startMenu;
        if (folder.empty()) return;
        for (const std::string& linkPath : record_.startMenuLinks) {
            if (linkPath.empty()) continue;
            if (liesBelow(linkPath, ensureTrailingBackslash(folder))) link(linkPath);
            else refuse(linkPath);
        }
        const std::string& programs = context_.programsFolder;
        if (!isSoundAbsolutePath(folder) || !liesBelow(ensureTrailingBackslash(folder), programs)) return;
        for (std::string parent = ensureTrailingBackslash(folder); liesBelow(parent, programs);
             parent = pathPartOf(parent.substr(0, parent.size() - 1)))
            planRemovalIfEmpty(parent);
    }

    // The builder's list, then the folders it leaves empty, deepest first.
    // The uninstaller and its data go last, after the process has ended.
    void installedFiles() {
        std::vector<std::string> folders;
        for (const std::string& entry : record_.files) {
            if (!isSafeEntryName(entry)) {
                refuse(entry);
                continue;
            }
            const std::string name = foldCase(entry);
            if (name == kDataName || name == foldCase(context_.ownName)) continue;
            const std::string path = backslashed(entry);
            if (path.back() != '\\') add({RemovalKind::File, record_.progDir + path});
            for (std::string folder = pathPartOf(path); !folder.empty();
                 folder = pathPartOf(folder.substr(0, folder.size() - 1)))
                folders.push_back(record_.progDir + folder);
        }
        std::stable_sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
            return depthOf(a) > depthOf(b) || (depthOf(a) == depthOf(b) && foldCase(a) < foldCase(b));
        });
        const auto sameFolder = [](const std::string& a, const std::string& b) { return foldCase(a) == foldCase(b); };
        folders.erase(std::unique(folders.begin(), folders.end(), sameFolder), folders.end());
        for (const std::string& folder : folders) planRemovalIfEmpty(folder);
    }

    // The uninstall entry and the remembered choices, each only while it
    // still belongs to this installation: a later install of the same
    // application elsewhere has taken them over.
    void registryEntries() {
        UninstallEntryInputs entry;
        entry.guid = record_.guid;
        entry.progLink = record_.progLink;
        const std::string entryName = !entry.guid.empty() ? entry.guid : entry.progLink;
        const std::string entryKey = uninstallEntryKey(entry);
        if (isPlainName(entryName))
            add({RemovalKind::OwnedRegistryKey, "", kLocalMachine, entryKey, "UninstallString",
                 uninstallCommand(record_.progDir)});
        else if (!entryName.empty())
            refuse(registryText(kLocalMachine, entryKey));
        if (record_.guid.empty()) return;
        const std::string choicesKey = rememberedChoicesKey(record_.guid);
        if (!isPlainName(record_.guid)) return refuse(registryText(kCurrentUser, choicesKey));
        add({RemovalKind::OwnedRegistryKey, "", kCurrentUser, choicesKey, "InstallDir", record_.progDir});
        std::string allChoicesKey = pathPartOf(choicesKey);
        allChoicesKey.pop_back();
        add({RemovalKind::EmptyRegistryKey, "", kCurrentUser, allChoicesKey});
    }

    const UninstallRecord& record_;
    const RemovalContext& context_;
    RemovalPlan plan_;
};
}  // namespace

std::string registryText(std::uint32_t root, const std::string& key, const std::string& name) {
    const char* rootName = root == kClassesRoot    ? "HKEY_CLASSES_ROOT"
                           : root == kCurrentUser  ? "HKEY_CURRENT_USER"
                           : root == kLocalMachine ? "HKEY_LOCAL_MACHINE"
                                                   : "HKEY_USERS";
    return std::string(rootName) + "\\" + key + (name.empty() ? "" : " (" + name + ")");
}

bool mayDeleteAll(const UninstallRecord& record, const ProtectedFolders& protectedFolders) {
    return !record.noDelAll && !isProtectedFolder(record.progDir, protectedFolders);
}

RemovalPlan planRemoval(const UninstallRecord& record, const RemovalContext& context) {
    return Planner(record, context).plan();
}

}  // namespace brindle
