#include <windows.h>
#include <shlobj.h>

#include "config/path_macros.h"
#include "config/system_folders.h"
#include "toolkit/path_text.h"
#include "toolkit/registry.h"
#include "toolkit/system_libraries.h"
#include "toolkit/system_paths.h"
#include "uninstall/machine_folders.h"

namespace brindle {

namespace {
constexpr int kProtectedFolderCodes[] = {
    kProgramFilesFolder, kCommonFilesFolder, kDesktopFolder, kProgramsFolder, kDocumentsFolder, kStartupFolder,
    kAppDataFolder, kCommonProgramsFolder, CSIDL_PROFILE, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA,
    CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS, CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU,
    CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
};

// The 32-bit system folder of a 64-bit system; looked up, since older
// systems lack the function.
std::string wow64SystemFolder() {
    using Lookup = UINT(WINAPI*)(LPSTR, UINT);
    const auto lookUp = libraryFunction<Lookup>(GetModuleHandleA("kernel32.dll"), "GetSystemWow64DirectoryA");
    char buffer[MAX_PATH + 1] = {};
    if (lookUp == nullptr) return {};
    const UINT length = lookUp(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? ensureTrailingBackslash(std::string(buffer, length)) : std::string();
}

void addFolder(std::vector<std::string>& folders, const std::string& folder) {
    if (!folder.empty()) folders.push_back(ensureTrailingBackslash(folder));
}
}  // namespace

std::vector<std::string> sharedFolders() {
    std::vector<std::string> folders;
    for (int code : {kWindowsFolder, kSystemFolder}) addFolder(folders, folderPath(code));
    addFolder(folders, wow64SystemFolder());
    return folders;
}

ProtectedFolders protectedFolders() {
    ProtectedFolders result;
    result.folders = sharedFolders();
    for (const int code : kProtectedFolderCodes) addFolder(result.folders, folderPath(code));
    // A 32-bit program reads the 32-bit program files folder above; the
    // native one has a name of its own.
    addFolder(result.folders, readRegistryString(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                                 "ProgramW6432Dir"));
    addFolder(result.folders, temporaryFolder());
    const std::string profile = folderPath(CSIDL_PROFILE);
    if (!profile.empty()) result.profilesFolder = pathPartOf(profile.substr(0, profile.size() - 1));
    return result;
}

}  // namespace brindle
