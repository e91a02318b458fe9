// Rules for entry names and keep lists shared by extraction and the tools.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace brindle {

// The longest path Windows takes at all; a longer name can only be hostile,
// and is refused before any work is spent on its folders.
inline constexpr std::size_t kLongestEntryName = 32767;

// False for names that would leave the destination folder or name something
// other than a plain file below it: empty names and names longer than
// kLongestEntryName, "." or ".." components (and components Windows would
// reduce to them), a leading "\" or "/", drive letters, UNC prefixes, ":"
// stream names and device names such as NUL or COM\xB9.
bool isSafeEntryName(const std::string& name);
// What the tools say of a name isSafeEntryName refuses.
inline constexpr char kUnsafeNameProblem[] =
    "unsafe name (outside the destination, a device, or over 32,767 characters)";

// Keep list "ext|ext|...": as many items as there are "|" (one when the list
// is not empty and has none); an empty list keeps nothing.
std::vector<std::string> parseKeepList(const std::string& list);

}  // namespace brindle
