// Removing a folder with all it holds, safely where others can write: links
// inside are removed as links and never entered, so nothing outside the
// folder is ever deleted.
#pragma once

#include <string>

#include "toolkit/files.h"

namespace brindle {

// Removes one item of a listing of `folder` (ending in "\"): a link is
// unlinked, a folder removed with removeTree, a file deleted. Succeeds when
// it is gone.
FileResult removeFolderItem(const std::string& folder, const FolderItem& item);

// Removes everything inside `folder` (ending in "\"). Succeeds when it is
// empty afterwards; what cannot be removed (a file another program holds
// open) stays, the rest goes all the same, and the first failure is the
// cause.
FileResult removeFolderContents(const std::string& folder);

// Removes the file at `path` unless a folder on its way, past the first
// `checkedFrom` characters, is a link (see linkOnTheWay), or it is a folder
// (both refused). Succeeds when it is gone, also when it was never there.
FileResult removeFileAt(const std::string& path, std::size_t checkedFrom);

// Removes `folder` (ending in "\") when it is empty. One that holds
// something, is a link itself or lies behind one (as above) stays, and that
// is no failure; one that cannot be listed, or is empty and cannot be
// removed, fails.
FileResult removeFolderIfEmpty(const std::string& folder, std::size_t checkedFrom);

// removeFolderContents, then the folder itself. A `folder` that is itself a
// link is only unlinked. Succeeds when it is gone.
FileResult removeTree(const std::string& folder);

}  // namespace brindle
