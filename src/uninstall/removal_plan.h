// What an uninstall removes, in which order, and what it refuses: decided
// from uninstall.dat and the machine's folders alone, so that the rules run
// anywhere and no damaged or hostile file can reach beyond them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "uninstall/protected_folders.h"

namespace brindle {

struct UninstallRecord;

enum class RemovalKind {
    File,                // `path`; gone already counts as removed
    EmptyFolder,         // `path`, only when it is empty and no link
    FolderContents,      // everything below `path` but the plan's kept names
    RegistryValue,       // value `name` of `root`\`key`
    EmptyRegistryKey,    // `root`\`key`, only when it holds no value and no key
    OwnedRegistryKey,    // `root`\`key` with its values, only while value `name` is `owner`
};

struct Removal {
    RemovalKind kind;
    std::string path{};
    std::uint32_t root = 0;
    std::string key{}, name{}, owner{};
};

struct RemovalPlan {
    std::string progDir;                 // nothing below it is reached through a link
    std::vector<std::string> keptNames;  // in progDir: the uninstaller and its data, removed last
    std::vector<Removal> steps;          // in order
    std::vector<std::string> refused;    // entries that break the rules, as written
};

struct RemovalContext {
    std::string ownName;         // the uninstaller's file name in progDir
    std::string programsFolder;  // the user's Programs folder, ending in "\"
    // Files copied below these stay: other programs may share them.
    std::vector<std::string> sharedFolders;
    ProtectedFolders protectedFolders;
    bool deleteAll = false;      // DelAll ticked
};

// A registry key (and value) as the user reads it: "HKEY_CURRENT_USER\Software\Tool (Path)".
std::string registryText(std::uint32_t root, const std::string& key, const std::string& name = {});

// Whether DelAll may be offered: never for a protected folder.
bool mayDeleteAll(const UninstallRecord& record, const ProtectedFolders& protectedFolders);

RemovalPlan planRemoval(const UninstallRecord& record, const RemovalContext& context);

}  // namespace brindle
