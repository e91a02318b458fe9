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

// removeFolderContents, then the folder itself. A `folder` that is itself a
// link is only unlinked. Succeeds when it is gone.
FileResult removeTree(const std::string& folder);

}  // namespace brindle
