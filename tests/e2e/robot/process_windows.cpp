#include "process_windows.h"

#include <set>

#include "window_text.h"

namespace robot {

namespace {
constexpr DWORD kLookEveryMs = 5;

struct Watch {
    DWORD process;
    std::set<HWND> seen;
    std::string lines;
};

BOOL CALLBACK noteWindow(HWND window, LPARAM context) {
    Watch& watch = *reinterpret_cast<Watch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == watch.process && watch.seen.insert(window).second)
        watch.lines += "window " + className(window) + "\t" + caption(window) + "\n";
    return TRUE;
}
}  // namespace

Outcome watchProcessWindows(const std::string& program, const std::string& arguments, const Deadline& deadline) {
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return failed("could not start " + program + " (error " + std::to_string(GetLastError()) + ")");
    CloseHandle(started.hThread);
    Watch watch{started.dwProcessId, {}, {}};
    bool ended = false;
    while (!ended && !deadline.passed()) {
        EnumWindows(noteWindow, reinterpret_cast<LPARAM>(&watch));
        ended = WaitForSingleObject(started.hProcess, kLookEveryMs) == WAIT_OBJECT_0;
    }
    DWORD code = 0;
    if (!ended) TerminateProcess(started.hProcess, 1);
    GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hProcess);
    if (!ended) return failed(program + " still ran at the deadline; " + watch.lines);
    return succeeded("exit " + std::to_string(code) + "\n" + watch.lines);
}

}  // namespace robot
