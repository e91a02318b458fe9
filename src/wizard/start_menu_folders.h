// The rules of the start-menu folder chooser: which folders its tree lists,
// in which order, and how tree items and relative folder paths map onto each
// other. A relative path is a folder's path below a Programs folder, its
// names joined by "\".
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/path_macros.h"
#include "toolkit/ui.h"

namespace brindle {

// The names of the folders directly inside a folder (given with its final
// "\"); none when it cannot be listed.
using SubFolderLister = std::function<std::vector<std::string>(const std::string& folder)>;

// Fills `folders` with the relative path of every folder below the user's and
// all users' Programs folders, each text once, a folder before the folders
// inside it, names in case-insensitive byte order.
void collectStartMenuFolders(std::vector<std::string>& folders, const FolderLookup& folderPath,
                             const SubFolderLister& subFolders);

// The tree items for the folders: each folder's last name, one level deeper
// for each "\" in its path.
std::vector<ui::TreeItem> startMenuTreeItems(const std::vector<std::string>& folders);

// The relative path of the item at `selected`: its text behind those of the
// items it hangs under. Empty when the index names no item.
std::string selectedTreePath(const std::vector<ui::TreeItem>& items, int selected);

// The index of the item to select for `path`: the deepest item whose names
// from the top match the path's leading names (case-sensitive); -1 when
// not even the first name matches a top item.
int findTreeItem(const std::vector<ui::TreeItem>& items, const std::string& path);

}  // namespace brindle
