// Prints what the runtime's platform lookups give, one fact per line:
//   folder <code> <path>            for every folder code
//   native-folder <code> <path>     the program files and common files folders of a 64-bit installation
//   expand <path>                   the default installation folder of "App"
//   windows <32 or 64>              the Windows it runs on
//   registry <name> <text>          values read back after writing them (Number
//                                   and Binary are written as no strings)
//   private-folder <access list>    what a private folder admits (SDDL)
//   protected-folder <access list>  what a new installation folder admits where
//                                   ordinary users could change it
#include <windows.h>

#include <cstdio>
#include <string>

#include "config/path_macros.h"
#include "config/system_folders.h"
#include "toolkit/private_folder.h"
#include "toolkit/protected_folder.h"
#include "toolkit/registry.h"
#include "toolkit/windows_platform.h"

using namespace brindle;

int main() {
    for (int code : {0, 2, 5, 7, 20, 23, 26, 43, -2, -3, -5, -6, -7})
        std::printf("folder %d %s\n", code, folderPath(code).c_str());
    for (int code : {-6, 43}) std::printf("native-folder %d %s\n", code, folderPath(code, kRegistryView64).c_str());
    std::printf("expand %s\n", expand("App", true, [](int code) { return folderPath(code); }).c_str());
    std::printf("windows %d\n", windowsIs64Bit() ? 64 : 32);

    const std::string key = "SOFTWARE\\Brindle\\ProbeTest";
    writeRegistryString(kCurrentUser, key, "Plain", "C:\\Program Files\\Tool\\");
    writeRegistryString(kCurrentUser, key, "Empty", "");
    writeRegistryString(kCurrentUser, key, "Fits", std::string(254, 'x'));
    writeRegistryString(kCurrentUser, key, "TooLong", std::string(255, 'y'));
    writeRegistryString(0x80000001u, key + "\\Deeper\\Still", "Nested", "created with its parents");
    HKEY raw;
    if (RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &raw) == ERROR_SUCCESS) {
        const DWORD number = 0x00434241;  // "ABC\0" as bytes
        RegSetValueExA(raw, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        RegSetValueExA(raw, "Binary", 0, REG_BINARY, reinterpret_cast<const BYTE*>("text\0"), 5);
        RegCloseKey(raw);
    }
    for (const char* name : {"Plain", "Empty", "Fits", "TooLong", "Missing", "Number", "Binary"})
        std::printf("registry %s %s\n", name, readRegistryString(kCurrentUser, key, name).c_str());
    std::printf("registry Nested %s\n", readRegistryString(kCurrentUser, key + "\\Deeper\\Still", "Nested").c_str());
    std::printf("registry MissingKey %s\n", readRegistryString(kCurrentUser, key + "\\Nope", "Plain").c_str());
    std::printf("private-folder %s\n", privateFolderAccess().c_str());
    std::printf("protected-folder %s\n", protectedFolderAccess().c_str());
    return 0;
}
