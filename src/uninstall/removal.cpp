#include "uninstall/removal.h"

#include <algorithm>

#include "config/preference_file.h"
#include "toolkit/canonical_path.h"
#include "toolkit/file_paths.h"
#include "toolkit/file_tree.h"
#include "toolkit/files.h"
#include "toolkit/path_text.h"
#include "uninstall/protected_folders.h"
#include "uninstall/removal_plan.h"

namespace brindle {

namespace {
class Remover {
public:
    Remover(const RemovalPlan& plan, RegistryEdits& registry) : plan_(plan), registry_(registry) {
        outcome_.stayed = plan.refused;
        outcome_.untrusted = plan.untrusted;
    }

    RemovalOutcome run() {
        for (const Removal& step : plan_.steps) {
            switch (step.kind) {
                case RemovalKind::File: note(removeFileAt(step.path, checkedFrom(step.path)), step.path); break;
                case RemovalKind::WrittenFile: removeWrittenFile(step); break;
                case RemovalKind::EmptyFolder:
                    note(removeFolderIfEmpty(step.path, checkedFrom(step.path)), step.path);
                    break;
                case RemovalKind::FolderContents: removeContents(step.path); break;
                case RemovalKind::IniValue:
                    note(removeIniValue(step), iniText(step.path, step.name, step.key));
                    break;
                case RemovalKind::RegistryValue:
                    note(registry_.deleteValue(step.root, step.key, step.name),
                         registryText(step.root, step.key, step.name));
                    break;
                case RemovalKind::EmptyRegistryKey:
                    note(registry_.deleteKeyIfEmpty(step.root, step.key), registryText(step.root, step.key));
                    break;
                case RemovalKind::OwnedRegistryKey:
                    note(removeOwnedKey(step), registryText(step.root, step.key));
                    break;
            }
        }
        return std::move(outcome_);
    }

private:
    void note(bool removed, const std::string& what) {
        if (!removed) outcome_.stayed.push_back(what);
    }
    // A file operation's failure names its cause beside what stayed.
    void note(FileResult removed, const std::string& what) {
        if (!removed) outcome_.stayed.push_back(withCause(what, removed));
    }

    // Below the installation folder, the folders from there on must be no
    // links; outside it, every folder on the way from the root.
    std::size_t checkedFrom(const std::string& path) const {
        return liesBelow(path, plan_.progDir) ? plan_.progDir.size() : rootLength(path);
    }

    // A file the user changed (its size or time differs from what the
    // installer wrote) is theirs now: it stays, and is named as kept.
    void removeWrittenFile(const Removal& step) {
        const std::size_t from = checkedFrom(step.path);
        FileStamp stamp;
        if (linkOnTheWay(step.path, from)) return note(false, step.path);
        if (!pathExists(step.path)) return;
        if (!readFileStamp(step.path, stamp) || !(stamp == step.stamp)) return outcome_.kept.push_back(step.path);
        note(removeFileAt(step.path, from), step.path);
    }

    // The value goes; the group and the file go too where the installation
    // made them and nothing else is left in them.
    FileResult removeIniValue(const Removal& step) {
        const std::size_t from = checkedFrom(step.path);
        if (linkOnTheWay(step.path, from)) return FileResult::refused();
        if (!pathExists(step.path)) return {};
        PreferenceFile file;
        if (!file.open(step.path)) return FileResult::refused();
        if (file.selectGroup(step.name)) {
            file.removeKey(step.key);
            if (step.made != IniMade::Value && !step.name.empty()) file.removeGroupIfEmpty();
        }
        const bool empty = !file.holdsKeys();
        const FileResult written = file.close();
        return !written || step.made != IniMade::File || !empty ? written : removeFileAt(step.path, from);
    }

    void removeContents(const std::string& folder) {
        std::vector<FolderItem> items;
        if (const FileResult listed = listFolder(folder, items); !listed) return note(listed, folder);
        for (const FolderItem& item : items) {
            const bool kept = std::any_of(plan_.keptNames.begin(), plan_.keptNames.end(), [&](const std::string& name) {
                return foldCase(name) == foldCase(item.name);
            });
            if (!kept) note(removeFolderItem(folder, item), folder + item.name + (item.isFolder ? "\\" : ""));
        }
    }

    bool removeOwnedKey(const Removal& step) {
        if (!samePathText(registry_.readString(step.root, step.key, step.name), step.owner)) return true;
        return registry_.deleteKey(step.root, step.key);
    }

    const RemovalPlan& plan_;
    RegistryEdits& registry_;
    RemovalOutcome outcome_;
};
}  // namespace

RemovalOutcome carryOut(const RemovalPlan& plan, RegistryEdits& registry) { return Remover(plan, registry).run(); }

}  // namespace brindle
