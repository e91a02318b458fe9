#include "process_windows.h"

#include <psapi.h>

#include <algorithm>
#include <set>

#include "window_text.h"

namespace robot {

namespace {
constexpr DWORD kLookEveryMs = 5;

struct Watch {
    DWORD process;
    std::set<HWND> seen;
    std::string lines;
    SIZE_T peakWorkingSet = 0;
    SIZE_T peakPagefileUsage = 0;
};

// The peaks so far. Read while the process lives, as well: once it has
// ended, a system may no longer tell its figures.
void notePeaks(HANDLE process, Watch& watch) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return;
    watch.peakWorkingSet = std::max(watch.peakWorkingSet, counters.PeakWorkingSetSize);
    watch.peakPagefileUsage = std::max(watch.peakPagefileUsage, counters.PeakPagefileUsage);
}

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
        notePeaks(started.hProcess, watch);
        ended = WaitForSingleObject(started.hProcess, kLookEveryMs) == WAIT_OBJECT_0;
    }
    notePeaks(started.hProcess, watch);
    DWORD code = 0;
    if (!ended) TerminateProcess(started.hProcess, 1);
    GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hProcess);
    if (!ended) return failed(program + " still ran at the deadline; " + watch.lines);
    return succeeded("exit " + std::to_string(code) + "\n" + "memory " + std::to_string(watch.peakWorkingSet) + " " +
                     std::to_string(watch.peakPagefileUsage) + "\n" + watch.lines);
}

}  // namespace robot
