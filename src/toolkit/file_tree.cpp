#include "toolkit/file_tree.h"

#include <vector>

#include "toolkit/files.h"

namespace brindle {

namespace {
std::string withoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}
}  // namespace

bool removeFolderItem(const std::string& folder, const FolderItem& item) {
    const std::string path = folder + item.name;
    if (item.isLink) return item.isFolder ? removeFolder(path) : removeFile(path);
    return item.isFolder ? removeTree(path + "\\") : removeFile(path);
}

bool removeFolderContents(const std::string& folder) {
    std::vector<FolderItem> items;
    if (!listFolder(folder, items)) return false;
    bool empty = true;
    for (const FolderItem& item : items) empty = removeFolderItem(folder, item) && empty;
    return empty;
}

bool removeTree(const std::string& folder) {
    const std::string path = withoutTrailingBackslash(folder);
    if (path.empty()) return false;
    if (!pathExists(path)) return true;
    if (isLink(path)) return removeFolder(path) || removeFile(path);
    removeFolderContents(folder);
    return removeFolder(path);
}

}  // namespace brindle
