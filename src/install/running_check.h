// Whether the application runs, and the warning about it: the installer
// asks before it installs, the uninstaller before it removes anything.
#pragma once

#include <string>

namespace brindle {

// With a mutex name: whether that mutex exists (the probe neither waits on
// nor keeps it). Otherwise: whether a process's file name is progExe. Any
// failure counts as not running.
bool isProgramRunning(const std::string& mutexName, const std::string& progExe);

// Asks the user to close the application, in a message box with OK and
// Cancel; false when they chose Cancel.
bool confirmRunningProgram(const std::string& caption, const std::string& text);

}  // namespace brindle
