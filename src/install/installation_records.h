// What an installation made, as uninstall.dat keeps it over the
// application's life: the builder's file list, the links, the user tasks'
// records, and in the group Written (this system's own, which older
// uninstallers pass over) what those cannot tell: the size and time of each
// file written outside the installation folder, the registry keys, INI
// values and folders the installation created, and the links and
// start-menu folders of earlier installations into the same folder. The
// installer keeps each record as its line, which it writes and merges; the
// uninstaller reads the lines' fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/files.h"

namespace brindle {

class PreferenceFile;

struct InstallationRecords {
    std::vector<std::string> files;           // Files: relative to the installation folder
    std::string startMenu;                    // Settings/StartMenu: ends in "\"; empty without one
    std::vector<std::string> startMenuLinks;  // StartMenu: Program, AddExe, Help, Homepage, Uninstall
    std::string desktopIcon;                  // Settings/DesktopIcon
    std::vector<std::string> taskRecords;     // UserTask, in the order the tasks ran
    // Written: File, Key, Ini, Link and StartMenu lines, and Above.
    std::vector<std::string> writtenFiles;       // writtenFileRecord
    std::vector<std::string> createdKeys;        // createdKeyRecord
    std::vector<std::string> iniValues;          // iniValueRecord, in the order the tasks ran
    std::vector<std::string> earlierLinks;       // a link's path
    std::vector<std::string> earlierStartMenus;  // a folder, ending in "\"
    std::string madeAbove;  // the topmost folder made above the installation folder, ending in "\"
    // Written/RegistryView: the view of the uninstall entry and the
    // remembered choices, kRegistryView64 for a 64-bit installation, else 0.
    std::uint32_t registryView = 0;
};

// A file a task wrote outside the installation folder, as it was written:
// one that differs now has become the user's. "size|time|path", both
// numbers as 16 hexadecimal digits.
std::string writtenFileRecord(const std::string& path, const FileStamp& stamp);
// False for a line that is no such record.
bool readWrittenFileRecord(const std::string& line, std::string& path, FileStamp& stamp);

// The topmost registry key a task created for its value: "root|key".
std::string createdKeyRecord(std::uint32_t root, const std::string& key);

// A value an INI task added, and what it made for it besides:
// "file|group|key|made".
enum class IniMade { Value, Group, File };
std::string iniValueRecord(const std::string& file, const std::string& group, const std::string& key, IniMade made);
IniMade iniMadeOf(const std::string& line);

// The records of an open uninstall.dat.
void readInstallationRecords(PreferenceFile& file, InstallationRecords& records);

// Writes Files, UserTask and Written (the Settings and StartMenu keys are
// the writer's). Keys a list no longer fills are removed.
void writeInstallationRecords(PreferenceFile& file, const InstallationRecords& records);

// What an installation over an earlier one in the same folder leaves to
// undo: both, each record once (this one's where both wrote the same
// thing, the earlier one's where it made what this one found).
InstallationRecords mergeRecords(const InstallationRecords& current, const InstallationRecords& earlier);

// Only what lies inside `folder` (canonical, ending in "\"): what an
// uninstall.dat that others may have changed can be trusted with.
InstallationRecords insideOnly(const InstallationRecords& records, const std::string& folder);

// True when `path` (a full path) lies below `folder` (canonical, ending in
// "\"), read in canonical form.
bool liesInside(const std::string& path, const std::string& folder);

// Whether `names` (of the file list) holds `name`, case and "/" aside.
bool listsEntry(const std::vector<std::string>& names, const std::string& name);

}  // namespace brindle
