// The entry in Windows' list of installed programs that points at the
// uninstaller.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/registry.h"

namespace brindle {

struct UninstallEntryInputs {
    std::string guid;
    std::string progLink;  // the key's name when there is no GUID
    std::string titel, version, author, web, eMail;
    std::string installDir;  // ends in "\"
    std::string progExe;
    std::uint64_t installedBytes = 0;  // of the files the copy wrote or kept
    std::string installDate;           // yyyymmdd
    std::uint32_t registryView = 0;    // kRegistryView64: the entry says so in RegistryView
};

// The key below HKEY_LOCAL_MACHINE, named by the GUID, else by ProgLink.
std::string uninstallEntryKey(const std::string& guid, const std::string& progLink);
// The values in the order they are written: the classic seven, then those
// that the list of installed programs shows and deployment tools read.
std::vector<RegistryValue> uninstallEntryValues(const UninstallEntryInputs& inputs);

// Windows runs the uninstall command as a command line: a path holding a
// blank is quoted, so that no "C:\Program.exe" can be started in its place.
std::string uninstallCommand(const std::string& installDir);

// The entry's value holding the SHA-256 of uninstall.dat as the installer
// wrote it: the entry lies where only administrators write, the file in a
// folder that others may be able to change.
inline constexpr char kUninstallDataHash[] = "UninstallDataHash";

// Whether the entry's command (a path, quoted or not) starts the uninstaller
// of `installDir`, in whatever spelling.
bool namesInstallation(const std::string& command, const std::string& installDir);

// Whether uninstall.dat, whose hash is `fileHash`, may be trusted with what
// lies outside the installation folder: the entry of that installation
// holds the same hash.
bool recordsTrusted(const std::string& fileHash, const std::string& entryHash, const std::string& entryCommand,
                    const std::string& installDir);

}  // namespace brindle
