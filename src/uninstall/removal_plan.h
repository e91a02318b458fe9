// What an uninstall removes, in which order, and what it refuses: decided
// from uninstall.dat and the machine's folders alone, so that the rules run
// anywhere and no damaged or hostile file can reach beyond them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "install/installation_records.h"
#include "uninstall/protected_folders.h"

namespace brindle {

struct UninstallRecord;

enum class RemovalKind {
    File,                // `path`; gone already counts as removed
    WrittenFile,         // `path`, only while it is as the installer wrote it (`stamp`)
    EmptyFolder,         // `path`, only when it is empty and no link
    FolderContents,      // everything below `path` but the plan's kept names
    IniValue,            // key `key` of group `name` in the INI file `path`, what else it `made` when empty
    RegistryValue,       // value `name` of `root`\`key`
    EmptyRegistryKey,    // `root`\`key`, only when it holds no value and no key
    OwnedRegistryKey,    // `root`\`key` with its values, only while value `name` names the path `owner`
};

struct Removal {
    RemovalKind kind;
    std::string path{};
    std::uint32_t root = 0;
    std::string key{}, name{}, owner{};
    FileStamp stamp{};
    IniMade made = IniMade::Value;
};

struct RemovalPlan {
    std::string progDir;                 // nothing below it is reached through a link
    std::vector<std::string> keptNames;  // in progDir: the uninstaller and its data, removed last
    std::vector<Removal> steps;          // in order
    std::vector<std::string> refused;    // entries that break the rules, as written
    // Records reaching outside the installation folder while uninstall.dat
    // is not the file the installer wrote: left alone.
    std::vector<std::string> untrusted;
    // The topmost folder above progDir that the installation made: the
    // folders up to it go with the installation folder, once empty.
    std::string madeAbove;
};

struct RemovalContext {
    std::string ownName;         // the uninstaller's file name in progDir
    std::string programsFolder;  // the user's Programs folder, ending in "\"
    // Links are removed only there and in a start-menu folder of the installation.
    std::string desktopFolder, startupFolder;
    // Files copied below these stay: other programs may share them.
    std::vector<std::string> sharedFolders;
    ProtectedFolders protectedFolders;
    bool deleteAll = false;      // DelAll ticked
    // uninstall.dat is as the installer wrote it (its hash is the uninstall
    // entry's): only then do records reach outside the installation folder.
    bool recordsTrusted = false;
};

// A registry key (and value) as the user reads it: "HKEY_CURRENT_USER\Software\Tool (Path)".
std::string registryText(std::uint32_t root, const std::string& key, const std::string& name = {});
// An INI value as the user reads it: "C:\Tool\tool.ini [Paths] Home".
std::string iniText(const std::string& file, const std::string& group, const std::string& key);

// Whether DelAll may be offered: never for a protected folder.
bool mayDeleteAll(const UninstallRecord& record, const ProtectedFolders& protectedFolders);

RemovalPlan planRemoval(const UninstallRecord& record, const RemovalContext& context);

}  // namespace brindle
