// Reading and selecting the items of a tree view in another process.
#pragma once

#include <windows.h>

#include <string>

#include "deadline.h"
#include "outcome.h"

namespace robot {

// Every item in display order (a parent before its children, whether it is
// expanded or not), one a line: its level (0 for the top), a tab, its text;
// then "selected=PATH" with the texts from the top down to the selected item
// joined by "\", empty when none is selected.
Outcome readTree(HWND tree, const Deadline& deadline);

// Selects the item at PATH (texts joined by "\") as a user's click does,
// with the notifications that go with it.
Outcome selectTreeItem(HWND tree, const std::string& path, const Deadline& deadline);

}  // namespace robot
