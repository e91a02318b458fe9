// Folders that no uninstall.dat can have removed or emptied: the roots of
// drives and shares, the system's own folders and the users' profiles, and
// every folder above one of them.
#pragma once

#include <string>
#include <vector>

namespace brindle {

struct ProtectedFolders {
    std::vector<std::string> folders;  // each ending in "\"
    std::string profilesFolder;        // ending in "\": every folder directly in it is a profile
};

// `folder` ends in "\". Compared without regard to ASCII case.
bool isProtectedFolder(const std::string& folder, const ProtectedFolders& protectedFolders);

// True when `path` lies below `folder` (ending in "\"), or is it when `orSame`.
bool liesBelow(const std::string& path, const std::string& folder, bool orSame = false);

// A full path whose parts are all plain names: a drive or share, then no
// "." or ".." part, no device name and no stream.
bool isSoundAbsolutePath(const std::string& path);

}  // namespace brindle
