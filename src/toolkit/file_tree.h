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

// Removes the file at `path` unless a folder on its way, past the first
// `checkedFrom` characters, is a link (see linkOnTheWay). True when it is
// gone, also when it was never there.
bool removeFileAt(const std::string& path, std::size_t checkedFrom);

// Removes `folder` (ending in "\") when it is empty. One that holds
// something, is a link itself or lies behind one (as above) stays, and that
// is no failure: false only when an empty folder could not be removed.
bool removeFolderIfEmpty(const std::string& folder, std::size_t checkedFrom);

// removeFolderContents, then the folder itself. A `folder` that is itself a
// link is only unlinked. True when it is gone.
bool removeTree(const std::string& folder);

}  // namespace brindle
