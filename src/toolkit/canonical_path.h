// One spelling of a path: the installer and the uninstaller write and
// compare folders in this form, so that "C:\Program Files\\App" and
// "c:/program files/App/" name one installation.
#pragma once

#include <functional>
#include <string>

namespace brindle {

// The long form of an existing path (no 8.3 names); empty when the path does
// not exist.
using LongForm = std::function<std::string(const std::string& path)>;

// `path` as the platform reads it: "/" as "\", runs of separators as one
// (the two of a share's "\\" kept), "." parts dropped, ".." taking the part
// before it (never the root), a part's one final "." and the trailing dots
// and blanks of the whole path dropped, the drive letter in upper case. A
// final separator stays. Text that names no drive or share is returned as
// it is.
std::string canonicalPath(const std::string& path);

// canonicalPath ending in one "\", with the part of it that exists in its
// long form when `longForm` is given.
std::string canonicalFolder(const std::string& folder, const LongForm& longForm = {});

// True when both name the same path in canonical form, without regard to
// ASCII case and to double quotes around either (as around a command).
bool samePathText(const std::string& a, const std::string& b);

}  // namespace brindle
