#include "uninstall/protected_folders.h"

#include "package/entry_name.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
std::string parentOf(const std::string& folder) {
    const std::size_t last = folder.find_last_of('\\', folder.size() - 2);
    return last == std::string::npos ? std::string() : folder.substr(0, last + 1);
}
}  // namespace

bool liesBelow(const std::string& path, const std::string& folder, bool orSame) {
    if (folder.empty() || path.size() < folder.size()) return false;
    if (path.size() == folder.size() && !orSame) return false;
    return foldCase(path.substr(0, folder.size())) == foldCase(folder);
}

bool isSoundAbsolutePath(const std::string& path) {
    const std::size_t root = rootLength(path);
    return root != 0 && (root == path.size() || isSafeEntryName(path.substr(root)));
}

bool isProtectedFolder(const std::string& folder, const ProtectedFolders& protectedFolders) {
    if (!isSoundAbsolutePath(folder) || rootLength(folder) == folder.size()) return true;
    for (const std::string& kept : protectedFolders.folders)
        if (liesBelow(kept, folder, true)) return true;
    const std::string& profiles = protectedFolders.profilesFolder;
    return liesBelow(profiles, folder, true) || (!profiles.empty() && foldCase(parentOf(folder)) == foldCase(profiles));
}

}  // namespace brindle
