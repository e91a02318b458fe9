#include "uninstall/removal_plan.h"

#include <algorithm>

#include "config/decimal.h"
#include "install/remembered_choices.h"
#include "install/uninstall_entry.h"
#include "package/entry_name.h"
#include "toolkit/canonical_path.h"
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

bool isPlainName(const std::string& name) { return !name.empty() && name.find('\\') == std::string::npos; }

// A handle the installer writes below, in one view at most.
bool isKnownRoot(std::uint32_t root) {
    const std::uint32_t handle = root & ~kRegistryViews;
    return (root & kRegistryViews) != kRegistryViews &&
           (handle == kClassesRoot || handle == kCurrentUser || handle == kLocalMachine || handle == kUsers);
}

std::size_t depthOf(const std::string& folder) { return std::size_t(std::count(folder.begin(), folder.end(), '\\')); }

std::string parentKey(const std::string& key) {
    const std::size_t last = key.rfind('\\');
    return last == std::string::npos ? std::string() : key.substr(0, last);
}

class Planner {
public:
    Planner(const UninstallRecord& record, const RemovalContext& context) : record_(record), context_(context) {
        plan_.progDir = record.progDir;
        plan_.keptNames = {kDataName, context.ownName};
        linkFolders_ = {context.desktopFolder, context.startupFolder};
        for (const std::string& menu : startMenus())
            if (liesBelow(menu, context.programsFolder)) linkFolders_.push_back(menu);
    }

    RemovalPlan plan() {
        for (auto task = record_.taskRecords.rbegin(); task != record_.taskRecords.rend(); ++task) userTask(*task);
        for (auto line = record_.iniValues.rbegin(); line != record_.iniValues.rend(); ++line) iniValue(*line);
        links();
        if (context_.deleteAll && mayDeleteAll(record_, context_.protectedFolders))
            add({RemovalKind::FolderContents, record_.progDir});
        else
            installedFiles();
        registryEntries();
        foldersAbove();
        return std::move(plan_);
    }

private:
    void add(Removal removal) { plan_.steps.push_back(std::move(removal)); }
    void refuse(const std::string& entry) { plan_.refused.push_back(entry); }
    bool inside(const std::string& path) const { return liesBelow(path, record_.progDir); }
    // Outside the installation folder only while the installer's file is
    // unchanged; otherwise the record is left and named.
    bool trusted(const std::string& what) {
        if (!context_.recordsTrusted) plan_.untrusted.push_back(what);
        return context_.recordsTrusted;
    }

    void planRemovalIfEmpty(const std::string& folder) {
        if (!isProtectedFolder(folder, context_.protectedFolders)) add({RemovalKind::EmptyFolder, folder});
    }

    // The installation's start-menu folders, this one's and earlier ones'.
    std::vector<std::string> startMenus() const {
        std::vector<std::string> menus;
        if (!record_.startMenu.empty()) menus.push_back(record_.startMenu);
        menus.insert(menus.end(), record_.earlierStartMenus.begin(), record_.earlierStartMenus.end());
        std::vector<std::string> sound;
        for (const std::string& menu : menus)
            if (isSoundAbsolutePath(menu)) sound.push_back(ensureTrailingBackslash(canonicalPath(menu)));
        return sound;
    }

    // A link file the installation made lies on the desktop, in the Startup
    // folder or in one of its start-menu folders, and nowhere else.
    void link(const std::string& written) {
        if (!trusted(written)) return;
        const std::string path = canonicalPath(written);
        const bool inLinkFolder = std::any_of(linkFolders_.begin(), linkFolders_.end(), [&](const std::string& folder) {
            return !folder.empty() && liesBelow(path, folder);
        });
        if (endsWithLinkExtension(path) && isSoundAbsolutePath(written) && inLinkFolder) add({RemovalKind::File, path});
        else refuse(written);
    }

    // "root|key|value name" for a registry string, else the path of a link
    // or of a copied file ("|" is no character of a path).
    void userTask(const std::string& task) {
        if (task.find('|') != std::string::npos) return registryTask(task);
        if (!isSoundAbsolutePath(task)) return refuse(task);
        const std::string path = canonicalPath(task);
        if (inside(path)) return add({RemovalKind::File, path});
        for (const std::string& shared : context_.sharedFolders)
            if (liesBelow(path, shared)) return;
        std::string written;
        FileStamp stamp;
        for (const std::string& line : record_.writtenFiles)
            if (readWrittenFileRecord(line, written, stamp) && foldCase(canonicalPath(written)) == foldCase(path)) {
                if (trusted(path)) add({RemovalKind::WrittenFile, path, 0, {}, {}, {}, stamp});
                return;
            }
        link(task);
    }

    // The value goes, then its key and the keys above it while the
    // installation created them and they are empty.
    void registryTask(const std::string& task) {
        const std::string rootText = field(task, '|', 1), key = field(task, '|', 2), name = field(task, '|', 3);
        const auto root = std::uint32_t(parseDecimal(rootText));
        if (!isKnownRoot(root) || rootText != std::to_string(root) || key.empty() ||
            std::count(task.begin(), task.end(), '|') != 2)
            return refuse(task);
        if (!trusted(registryText(root, key, name))) return;
        add({RemovalKind::RegistryValue, "", root, key, name});
        for (std::string path = key; createdByInstallation(root, path); path = parentKey(path))
            add({RemovalKind::EmptyRegistryKey, "", root, path});
    }

    bool createdByInstallation(std::uint32_t root, const std::string& key) const {
        const auto covers = [&](const std::string& line) {
            const std::string made = line.substr(line.find('|') + 1);
            return line.substr(0, line.find('|')) == std::to_string(root) &&
                   (foldCase(key) == foldCase(made) || liesBelow(key, ensureTrailingBackslash(made)));
        };
        return !key.empty() && std::any_of(record_.createdKeys.begin(), record_.createdKeys.end(), covers);
    }

    // "file|group|key|made".
    void iniValue(const std::string& line) {
        const std::string file = field(line, '|', 1), group = field(line, '|', 2), key = field(line, '|', 3);
        if (!isSoundAbsolutePath(file)) return refuse(file);
        const std::string path = canonicalPath(file);
        if (!inside(path) && !trusted(iniText(path, group, key))) return;
        add({RemovalKind::IniValue, path, 0, key, group, {}, {}, iniMadeOf(line)});
    }

    // The links, then the start-menu folders with their parents up to the
    // Programs folder while they are empty. Without a start-menu folder the
    // installer made no start-menu links, and the names it wrote are bare.
    void links() {
        if (!record_.startMenu.empty())
            for (const std::string& linkPath : record_.startMenuLinks)
                if (!linkPath.empty()) link(linkPath);
        for (const std::string& linkPath : record_.earlierLinks) link(linkPath);
        if (!record_.desktopIcon.empty()) link(record_.desktopIcon);
        if (!context_.recordsTrusted) return;
        const std::string& programs = context_.programsFolder;
        for (const std::string& menu : startMenus())
            for (std::string parent = menu; liesBelow(parent, programs);
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
            std::string path = entry;
            std::replace(path.begin(), path.end(), '/', '\\');
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
        const std::string entryName = !record_.guid.empty() ? record_.guid : record_.progLink;
        const std::string entryKey = uninstallEntryKey(record_.guid, record_.progLink);
        const std::uint32_t machine = kLocalMachine | record_.registryView, user = kCurrentUser | record_.registryView;
        if (isPlainName(entryName))
            add({RemovalKind::OwnedRegistryKey, "", machine, entryKey, "UninstallString",
                 uninstallCommand(record_.progDir)});
        else if (!entryName.empty())
            refuse(registryText(machine, entryKey));
        if (record_.guid.empty()) return;
        const std::string choicesKey = rememberedChoicesKey(record_.guid);
        if (!isPlainName(record_.guid)) return refuse(registryText(user, choicesKey));
        add({RemovalKind::OwnedRegistryKey, "", user, choicesKey, "InstallDir", record_.progDir});
        std::string allChoicesKey = pathPartOf(choicesKey);
        allChoicesKey.pop_back();
        add({RemovalKind::EmptyRegistryKey, "", user, allChoicesKey});
    }

    // Folders the installation made above its own, such as "C:\Apps" for
    // "C:\Apps\Tool": they go after it, while empty; never a protected one.
    void foldersAbove() {
        const std::string& above = record_.madeAbove;
        if (above.empty() || !trusted(above)) return;
        const std::string folder = ensureTrailingBackslash(canonicalPath(above));
        if (isSoundAbsolutePath(above) && liesBelow(record_.progDir, folder) &&
            !isProtectedFolder(folder, context_.protectedFolders))
            plan_.madeAbove = folder;
        else
            refuse(above);
    }

    const UninstallRecord& record_;
    const RemovalContext& context_;
    std::vector<std::string> linkFolders_;
    RemovalPlan plan_;
};
}  // namespace

std::string registryText(std::uint32_t root, const std::string& key, const std::string& name) {
    const std::uint32_t handle = root & ~kRegistryViews;
    const char* rootName = handle == kClassesRoot    ? "HKEY_CLASSES_ROOT"
                           : handle == kCurrentUser  ? "HKEY_CURRENT_USER"
                           : handle == kLocalMachine ? "HKEY_LOCAL_MACHINE"
                                                     : "HKEY_USERS";
    const char* view = (root & kRegistryView64) != 0 ? " (64-bit)" : (root & kRegistryView32) != 0 ? " (32-bit)" : "";
    return std::string(rootName) + view + "\\" + key + (name.empty() ? "" : " (" + name + ")");
}

std::string iniText(const std::string& file, const std::string& group, const std::string& key) {
    return file + " [" + group + "] " + key;
}

bool mayDeleteAll(const UninstallRecord& record, const ProtectedFolders& protectedFolders) {
    return !record.noDelAll && !isProtectedFolder(record.progDir, protectedFolders);
}

RemovalPlan planRemoval(const UninstallRecord& record, const RemovalContext& context) {
    return Planner(record, context).plan();
}

}  // namespace brindle
