// Rules for entry names and keep lists shared by extraction and the tools.
#pragma once

#include <string>
#include <vector>

namespace brindle {

// False for names that would leave the destination folder or name something
// other than a plain file below it: empty names, "." or ".." components (and
// components Windows would reduce to them), a leading "\" or "/", drive
// letters, UNC prefixes, ":" stream names and device names such as NUL.
bool isSafeEntryName(const std::string& name);

// Keep list "ext|ext|...": as many items as there are "|" (one when the list
// is not empty and has none); an empty list keeps nothing.
std::vector<std::string> parseKeepList(const std::string& list);

}  // namespace brindle
