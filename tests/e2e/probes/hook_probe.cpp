// Stands in for a package's hook programs, for a running application and for
// the program a link's address is handed to.
// Copied under a name such as BeforeBR.exe, it reads files named after
// itself beside its executable:
//   <name>.mutex  holds the mutex named there while it runs
//   <name>.wait   keeps running with a window captioned "<name> running"
//   <name>.exit   exits with the code written there (else 0)
//   <name>.hold   holds the file named there open, sharing nothing, while it runs
// and appends one line to the file named by the variable BRINDLE_HOOK_LOG:
//   <name>|<working folder>|<InstallDir variable>|<mutex: new, existed or ->|<arguments>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
std::string readSideFile(const std::string& path) {
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[256];
        const std::size_t length = std::fread(buffer, 1, sizeof buffer, file);
        text.assign(buffer, length);
        std::fclose(file);
    }
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

bool sideFileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The command line without the program's own name.
std::string arguments() {
    const char* line = GetCommandLineA();
    if (*line == '"') {
        line = std::strchr(line + 1, '"');
        line = line ? line + 1 : "";
    }
    while (*line && *line != ' ') ++line;
    while (*line == ' ') ++line;
    return line;
}

std::string variable(const char* name) {
    char value[1024];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string("(unset)");
}

void logStart(const std::string& name, const char* mutexState) {
    const std::string log = variable("BRINDLE_HOOK_LOG");
    if (log == "(unset)") return;
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    if (FILE* file = std::fopen(log.c_str(), "ab")) {
        std::fprintf(file, "%s|%s|%s|%s|%s\r\n", name.c_str(), folder, variable("InstallDir").c_str(), mutexState,
                     arguments().c_str());
        std::fclose(file);
    }
}

void runWindow(const std::string& caption) {
    HWND window = CreateWindowA("Static", caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 80, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return;
    MSG message;
    while (IsWindow(window) && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
}
}  // namespace

int main() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string own = path;
    const std::string base = own.substr(0, own.rfind('.'));
    const std::string name = base.substr(base.find_last_of("\\/") + 1);
    HANDLE mutex = nullptr;
    const char* mutexState = "-";
    if (sideFileExists(base + ".mutex")) {
        mutex = CreateMutexA(nullptr, TRUE, readSideFile(base + ".mutex").c_str());
        mutexState = GetLastError() == ERROR_ALREADY_EXISTS ? "existed" : "new";
    }
    HANDLE held = INVALID_HANDLE_VALUE;
    if (sideFileExists(base + ".hold"))
        held = CreateFileA(readSideFile(base + ".hold").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    logStart(name, mutexState);
    if (sideFileExists(base + ".wait")) runWindow(name + " running");
    if (mutex != nullptr) CloseHandle(mutex);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    return sideFileExists(base + ".exit") ? std::atoi(readSideFile(base + ".exit").c_str()) : 0;
}
