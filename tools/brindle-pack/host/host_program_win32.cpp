// Windows side of running other programs: PATH search with the executable
// extensions and CreateProcessW with a quoted command line.
#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "host/host_program.h"
#include "host/host_system.h"

namespace brindle::tool {

namespace {
// One argument as the C runtime's parser reads it back: quotes only where
// needed, backslashes doubled in front of a quote and at the end.
std::string quoted(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        out.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(2 * slashes, '\\');
    return out + "\"";
}
}  // namespace

std::optional<std::string> findOnPath(const std::string& name) {
    const wchar_t* path = _wgetenv(L"PATH");
    if (!path) return std::nullopt;
    const std::wstring folders = path;
    for (std::size_t start = 0; start < folders.size();) {
        std::size_t end = folders.find(L';', start);
        if (end == std::wstring::npos) end = folders.size();
        if (end > start) {
            const std::filesystem::path folder = folders.substr(start, end - start);
            for (const char* extension : {".exe", ".com", ""}) {
                const std::filesystem::path candidate = folder / hostPath(name + extension);
                std::error_code failure;
                if (std::filesystem::is_regular_file(candidate, failure)) return utf8Path(candidate);
            }
        }
        start = end + 1;
    }
    return std::nullopt;
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args) {
    ProgramRun run;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0)) return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                                 0, nullptr);

    std::string line = quoted(program);
    for (const std::string& arg : args) line += " " + quoted(arg);
    std::wstring commandLine = hostPath(line).native();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(hostPath(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);  // the child holds its own copy; the pipe ends when it does
    if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);

    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
        DWORD code = 0;
        if (WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(process.hProcess, &code))
            run.exitCode = int(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return run;
}

}  // namespace brindle::tool
