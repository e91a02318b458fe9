#include "wizard/start_menu_folders.h"

#include <algorithm>

#include "toolkit/path_text.h"

namespace brindle {

namespace {
// A byte's rank in the folder order: ASCII letters as their lower case, as
// the C library's case-insensitive comparison has them, and "\" below all
// others so that each folder is followed directly by the folders inside it.
// (Whole paths compared byte by byte would put "Kit\Sub" after "Kit 2", as
// " " and digits rank below "\", and the tree would show Sub under Kit 2.)
unsigned rank(char byte) {
    if (byte == '\\') return 0;
    return static_cast<unsigned char>(foldCase(byte)) + 1u;
}

bool precedes(const std::string& left, const std::string& right) {
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](char a, char b) { return rank(a) < rank(b); });
}

struct Walk {
    std::string root;
    const SubFolderLister& subFolders;
    std::vector<std::string>& folders;
};

// Adds the folders below `folder` to the sorted list, each text once.
void walk(const std::string& folder, const Walk& context) {
    const std::string parent = ensureTrailingBackslash(folder);
    for (const std::string& name : context.subFolders(parent)) {
        const std::string path = parent + name;
        walk(path, context);
        std::string relative = replaceAll(path, context.root, "");
        // Kept in order as they come: after the folders that rank equal, so
        // that texts differing only in case stay in the order walked. A few
        // hundred folders at most, so a plain search finds the repeats.
        std::vector<std::string>& folders = context.folders;
        if (std::find(folders.begin(), folders.end(), relative) == folders.end())
            folders.insert(std::upper_bound(folders.begin(), folders.end(), relative, precedes), std::move(relative));
    }
}

std::vector<std::string> namesOf(const std::string& path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t split; (split = path.find('\\', start)) != std::string::npos; start = split + 1)
        names.push_back(path.substr(start, split - start));
    names.push_back(path.substr(start));
    return names;
}
}  // namespace

void collectStartMenuFolders(std::vector<std::string>& folders, const FolderLookup& folderPath,
                             const SubFolderLister& subFolders) {
    folders.clear();
    for (const int code : {kProgramsFolder, kCommonProgramsFolder}) {
        const std::string root = folderPath(code);
        // An empty root would be walked as the current drive's root.
        if (!root.empty()) walk(root, {root, subFolders, folders});
    }
}

std::vector<ui::TreeItem> startMenuTreeItems(const std::vector<std::string>& folders) {
    std::vector<ui::TreeItem> items;
    items.reserve(folders.size());
    for (const std::string& folder : folders)
        items.push_back({folder.substr(folder.rfind('\\') + 1), int(std::count(folder.begin(), folder.end(), '\\'))});
    return items;
}

std::string selectedTreePath(const std::vector<ui::TreeItem>& items, int selected) {
    if (selected < 0 || selected >= int(items.size())) return {};
    std::string path = items[std::size_t(selected)].text;
    int level = items[std::size_t(selected)].level;
    for (int index = selected - 1; index >= 0 && level > 0; --index) {
        const ui::TreeItem& item = items[std::size_t(index)];
        if (item.level >= level) continue;
        path = item.text + "\\" + path;
        level = item.level;
    }
    return path;
}

int findTreeItem(const std::vector<ui::TreeItem>& items, const std::string& path) {
    const std::vector<std::string> names = namesOf(path);
    int found = -1;
    std::size_t matched = 0;  // names matched so far, and the level looked at
    for (std::size_t index = 0; index < items.size() && matched < names.size(); ++index) {
        const ui::TreeItem& item = items[index];
        if (item.level > int(matched)) continue;
        if (item.level < int(matched)) break;  // past the matched item's children
        if (item.text == names[matched]) {
            found = int(index);
            ++matched;
        }
    }
    return found;
}

}  // namespace brindle
