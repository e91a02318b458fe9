#include <windows.h>

#include "toolkit/path_text.h"
#include "toolkit/system_libraries.h"
#include "toolkit/system_paths.h"

namespace brindle {

std::string temporaryFolder() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH, buffer);
    if (length == 0 || length > MAX_PATH) return {};
    return ensureTrailingBackslash(longPathOf(buffer));
}

std::string ownExecutablePath() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string longPathOf(const std::string& path) {
    // The long form is not offered by every platform version, so it is
    // looked up rather than linked.
    using LongPathFunction = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
    const auto toLong = libraryFunction<LongPathFunction>(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA");
    char longForm[MAX_PATH + 1] = {};
    const DWORD length = toLong != nullptr ? toLong(path.c_str(), longForm, MAX_PATH) : 0;
    return length > 0 && length <= MAX_PATH ? std::string(longForm, length) : path;
}

}  // namespace brindle
