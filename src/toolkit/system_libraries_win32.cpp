#include <windows.h>

#include "toolkit/path_text.h"
#include "toolkit/system_libraries.h"

namespace brindle {

namespace {
// Not declared by every header set, and absent on systems without the
// loader update: both are looked up rather than linked.
constexpr DWORD kSearchSystemFolder = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
}  // namespace

void restrictLibrarySearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using SetDefaults = BOOL(WINAPI*)(DWORD);
    using SetDirectory = BOOL(WINAPI*)(LPCSTR);
    if (const auto setDefaults = libraryFunction<SetDefaults>(kernel, "SetDefaultDllDirectories"))
        if (setDefaults(kSearchSystemFolder)) return;
    // Older systems: at least the current folder leaves the search.
    if (const auto setDirectory = libraryFunction<SetDirectory>(kernel, "SetDllDirectoryA")) setDirectory("");
}

std::string systemFolder() {
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? ensureTrailingBackslash(std::string(buffer, length)) : std::string();
}

void* loadSystemLibrary(const char* name) {
    const std::string folder = systemFolder();
    if (folder.empty()) return nullptr;
    // The altered search path takes the library's own dependencies from the
    // system folder too, even where the default search could not be narrowed.
    return LoadLibraryExA((folder + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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
