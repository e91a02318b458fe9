// Removing a folder with all it holds, safely where others can write: links
// inside are removed as links and never entered, so nothing outside the
// folder is ever deleted.
#pragma once

#include <string>

namespace brindle {

struct FolderItem;

// Removes one item of a listing of `folder` (ending in "\"): a link is
// unlinked, a folder removed with removeTree, a file deleted. True when it
// is gone.
bool removeFolderItem(const std::string& folder, const FolderItem& item);

// Removes everything inside `folder` (ending in "\"). True when it is empty
// afterwards; what cannot be removed (a file another program holds open)
// stays, and the rest goes all the same.
bool removeFolderContents(const std::string& folder);

// removeFolderContents, then the folder itself. A `folder` that is itself a
// link is only unlinked. True when it is gone.
bool removeTree(const std::string& folder);

}  // namespace brindle
