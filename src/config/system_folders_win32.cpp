#include <windows.h>
#include <shlobj.h>

#include "config/path_macros.h"
#include "config/system_folders.h"
#include "toolkit/path_text.h"
#include "toolkit/registry.h"
#include "toolkit/system_libraries.h"

namespace brindle {

namespace {
constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The high word of GetVersion holds the build number on the NT line of
// systems, whose classes root has the Applications key; older systems leave
// its low byte 0.
bool reportsBuildNumber() { return ((GetVersion() >> 16) & 0xFF) != 0; }

// The development environment's folder, from the command of its "open"
// verb: a quoted program path followed by " \"%1\"".
std::string vantrelFolder() {
    const bool classesRoot = reportsBuildNumber();
    const std::string key = classesRoot ? "Applications\\Vantrel.exe\\shell\\open\\command"
                                        : "Software\\Classes\\Vantrel.exe\\shell\\open\\command";
    HKEY opened;
    // Reading needs no more than read access; users without write rights
    // below HKEY_LOCAL_MACHINE get the folder too.
    if (RegOpenKeyExA(reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(classesRoot ? kClassesRoot : kLocalMachine)),
                      key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return {};
    char buffer[MAX_PATH] = {};
    DWORD size = sizeof buffer - 1;
    const LONG status = RegQueryValueExA(opened, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS) return {};
    const std::string command(buffer);
    if (command.size() < 7) return {};
    const std::string program = command.substr(1, command.size() - 7);
    const std::size_t last = program.find_last_of("\\/");
    return last == std::string::npos ? std::string() : program.substr(0, last + 1);
}

std::string shellFolder(int code) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, code, &items)) || items == nullptr) return {};
    char buffer[MAX_PATH] = {};
    const BOOL found = SHGetPathFromIDListA(items, buffer);
    CoTaskMemFree(items);
    return found ? std::string(buffer) : std::string();
}

std::string lookUp(int code, std::uint32_t registryView) {
    char buffer[MAX_PATH + 1] = {};
    switch (code) {
        case kVantrelFolder: return vantrelFolder();
        case kProgramFilesFolder:
            return readRegistryString(kLocalMachine | registryView, kCurrentVersionKey, "ProgramFilesDir");
        case kCommonFilesFolder:
            return readRegistryString(kLocalMachine | registryView, kCurrentVersionKey, "CommonFilesDir");
        case kQuickLaunchFolder: return folderPath(kAppDataFolder) + "Microsoft\\Internet Explorer\\Quick Launch\\";
        case kWindowsFolder: return GetWindowsDirectoryA(buffer, MAX_PATH) ? std::string(buffer) : std::string();
        case kSystemFolder: return systemFolder();
        default: return code >= 0 ? shellFolder(code) : std::string();
    }
}
}  // namespace

std::string folderPath(int code, std::uint32_t registryView) {
    const std::string folder = lookUp(code, registryView);
    return folder.empty() ? folder : ensureTrailingBackslash(folder);
}

}  // namespace brindle
