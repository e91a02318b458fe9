#include <windows.h>

#include "toolkit/path_text.h"
#include "toolkit/system_libraries.h"

namespace brindle {

namespace {
// Not declared by every header set, and absent on systems without the
// loader update: both are looked up rather than linked.
constexpr DWORD kSearchSystemFolder = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// How loadSystemLibrary has a library's own dependencies looked up: in the
// system folder only, where the loader knows the flag; otherwise from the
// library's folder (the system folder) first.
DWORD dependencySearch = LOAD_WITH_ALTERED_SEARCH_PATH;

// Libraries that system libraries bind late by bare name (delay loads):
// Wine looks these up beside the program, whatever the search allows, when a
// library of that name is to be taken from outside first. Loaded by full
// path before anything else, they are found already loaded instead.
constexpr const char* kBoundLateByName[] = {"msimg32.dll", "ole32.dll"};
}  // namespace

void restrictLibrarySearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using SetDefaults = BOOL(WINAPI*)(DWORD);
    using SetDirectory = BOOL(WINAPI*)(LPCSTR);
    const auto setDefaults = libraryFunction<SetDefaults>(kernel, "SetDefaultDllDirectories");
    if (setDefaults != nullptr && setDefaults(kSearchSystemFolder)) {
        dependencySearch = kSearchSystemFolder;
    } else if (const auto setDirectory = libraryFunction<SetDirectory>(kernel, "SetDllDirectoryA")) {
        setDirectory("");  // older systems: at least the current folder leaves the search
    }
    for (const char* name : kBoundLateByName) loadSystemLibrary(name);
}

std::string systemFolder() {
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? ensureTrailingBackslash(std::string(buffer, length)) : std::string();
}

void* loadSystemLibrary(const char* name) {
    const std::string folder = systemFolder();
    if (folder.empty()) return nullptr;
    return LoadLibraryExA((folder + name).c_str(), nullptr, dependencySearch);
}

void releaseLibrary(void* library) {
    if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

void* libraryFunction(void* library, const char* name) {
    if (library == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

std::string systemProgramPath(const char* name) {
    const std::string folder = systemFolder();
    return folder.empty() ? folder : folder + name;
}

}  // namespace brindle
