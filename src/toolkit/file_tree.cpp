#include "toolkit/file_tree.h"

#include <vector>

#include "toolkit/file_paths.h"
#include "toolkit/files.h"

namespace brindle {

namespace {
std::string withoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}
}  // namespace

FileResult removeFolderItem(const std::string& folder, const FolderItem& item) {
    const std::string path = folder + item.name;
    if (item.isLink) return item.isFolder ? removeFolder(path) : removeFile(path);
    return item.isFolder ? removeTree(path + "\\") : removeFile(path);
}

FileResult removeFileAt(const std::string& path, std::size_t checkedFrom) {
    if (linkOnTheWay(path, checkedFrom)) return FileResult::refused();
    if (!pathExists(path)) return {};
    return isFolder(path) ? FileResult::refused() : removeFile(path);
}

FileResult removeFolderIfEmpty(const std::string& folder, std::size_t checkedFrom) {
    const std::string path = withoutTrailingBackslash(folder);
    if (linkOnTheWay(folder, checkedFrom) || !pathExists(path) || isLink(path)) return {};
    std::vector<FolderItem> items;
    if (const FileResult listed = listFolder(folder, items); !listed) return listed;
    return items.empty() ? removeFolder(path) : FileResult();
}

FileResult removeFolderContents(const std::string& folder) {
    std::vector<FolderItem> items;
    if (const FileResult listed = listFolder(folder, items); !listed) return listed;
    FileResult emptied;
    for (const FolderItem& item : items)
        if (const FileResult removed = removeFolderItem(folder, item); !removed && emptied) emptied = removed;
    return emptied;
}

FileResult removeTree(const std::string& folder) {
    const std::string path = withoutTrailingBackslash(folder);
    if (path.empty()) return FileResult::refused();
    if (!pathExists(path)) return {};
    if (isLink(path)) return removeFolder(path) ? FileResult() : removeFile(path);
    const FileResult emptied = removeFolderContents(folder);
    const FileResult removed = removeFolder(path);
    // A folder left holding something stays for that something's cause.
    return removed || emptied ? removed : emptied;
}

}  // namespace brindle
