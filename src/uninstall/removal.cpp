#include "uninstall/removal.h"

#include <algorithm>

#include "toolkit/file_tree.h"
#include "toolkit/files.h"
#include "toolkit/path_text.h"
#include "uninstall/removal_plan.h"

namespace brindle {

namespace {
class Remover {
public:
    Remover(const RemovalPlan& plan, RegistryEdits& registry)
        : plan_(plan), registry_(registry), stayed_(plan.refused) {}

    std::vector<std::string> run() {
        for (const Removal& step : plan_.steps) {
            switch (step.kind) {
                case RemovalKind::File: note(removeOneFile(step.path), step.path); break;
                case RemovalKind::EmptyFolder: note(removeIfEmpty(step.path), step.path); break;
                case RemovalKind::FolderContents: removeContents(step.path); break;
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
        return std::move(stayed_);
    }

private:
    void note(bool removed, const std::string& what) {
        if (!removed) stayed_.push_back(what);
    }
    // A file operation's failure names its cause beside what stayed.
    void note(FileResult removed, const std::string& what) {
        if (!removed) stayed_.push_back(withCause(what, removed));
    }

    // Below the installation folder, a folder on the way that is a link
    // would lead the removal out of it.
    bool reachedThroughLink(const std::string& path) const {
        if (!liesBelow(path, plan_.progDir)) return false;
        for (std::size_t slash = path.find('\\', plan_.progDir.size());
             slash != std::string::npos && slash + 1 < path.size(); slash = path.find('\\', slash + 1))
            if (isLink(path.substr(0, slash))) return true;
        return false;
    }

    FileResult removeOneFile(const std::string& path) {
        if (reachedThroughLink(path)) return FileResult::refused();
        if (!pathExists(path)) return {};
        return isFolder(path) ? FileResult::refused() : removeFile(path);
    }

    // A folder that is not empty holds what the user made; it stays, and
    // that is no failure. A link stays too: it is nothing the installer made.
    // A folder that cannot be listed stays for that cause.
    FileResult removeIfEmpty(const std::string& folder) {
        const std::string path = folder.substr(0, folder.size() - 1);
        if (reachedThroughLink(folder) || !pathExists(path) || isLink(path)) return {};
        std::vector<FolderItem> items;
        if (const FileResult listed = listFolder(folder, items); !listed) return listed;
        return items.empty() ? removeFolder(path) : FileResult();
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
        if (foldCase(registry_.readString(step.root, step.key, step.name)) != foldCase(step.owner)) return true;
        return registry_.deleteKey(step.root, step.key);
    }

    const RemovalPlan& plan_;
    RegistryEdits& registry_;
    std::vector<std::string> stayed_;
};
}  // namespace

std::vector<std::string> carryOut(const RemovalPlan& plan, RegistryEdits& registry) {
    return Remover(plan, registry).run();
}

}  // namespace brindle
