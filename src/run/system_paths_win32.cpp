#include <windows.h>

#include "run/system_paths.h"
#include "toolkit/path_text.h"
#include "toolkit/system_libraries.h"

namespace brindle {

std::string temporaryFolder() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH, buffer);
    if (length == 0 || length > MAX_PATH) return {};
    // The long form is not offered by every platform version, so it is
    // looked up rather than linked.
    using LongPathFunction = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
    const auto toLong = libraryFunction<LongPathFunction>(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA");
    char longForm[MAX_PATH + 1] = {};
    if (toLong != nullptr) {
        const DWORD longLength = toLong(buffer, longForm, MAX_PATH);
        if (longLength > 0 && longLength <= MAX_PATH) return ensureTrailingBackslash(longForm);
    }
    return ensureTrailingBackslash(buffer);
}

std::string ownExecutablePath() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

}  // namespace brindle
