#include <windows.h>
#include <tlhelp32.h>

#include "install/running_check.h"
#include "install/running_program.h"
#include "toolkit/system_libraries.h"

namespace brindle {

namespace {
bool mutexExists(const std::string& name) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) return false;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(mutex);
    return existed;
}

// The toolhelp functions are looked up at run time: systems without them
// simply find nothing running.
bool processRuns(const std::string& progExe) {
    void* kernel = loadSystemLibrary("kernel32.dll");
    if (kernel == nullptr) return false;
    using Snapshot = HANDLE(WINAPI*)(DWORD, DWORD);
    using Walk = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
    const auto snapshot = libraryFunction<Snapshot>(kernel, "CreateToolhelp32Snapshot");
    const auto first = libraryFunction<Walk>(kernel, "Process32First");
    const auto next = libraryFunction<Walk>(kernel, "Process32Next");
    bool found = false;
    if (snapshot != nullptr && first != nullptr && next != nullptr) {
        HANDLE processes = snapshot(TH32CS_SNAPPROCESS, 0);
        if (processes != INVALID_HANDLE_VALUE && processes != nullptr) {
            PROCESSENTRY32 entry{};
            entry.dwSize = sizeof entry;
            for (BOOL more = first(processes, &entry); more; more = next(processes, &entry))
                if (isProgramProcess(entry.szExeFile, progExe)) found = true;
            CloseHandle(processes);
        }
    }
    releaseLibrary(kernel);
    return found;
}
}  // namespace

bool isProgramRunning(const std::string& mutexName, const std::string& progExe) {
    return !mutexName.empty() ? mutexExists(mutexName) : processRuns(progExe);
}

bool confirmRunningProgram(const std::string& caption, const std::string& text) {
    HWND owner = GetForegroundWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(owner, &process);
    if (process != GetCurrentProcessId()) owner = nullptr;
    return MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) !=
           IDCANCEL;
}

}  // namespace brindle
