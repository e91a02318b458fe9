// Whether the application to be installed runs, and the warning about it.
#pragma once

#include <string>

namespace brindle {

class LanguageTexts;

// With a mutex name: whether that mutex exists (the probe neither waits on
// nor keeps it). Otherwise: whether a process's file name is progExe. Any
// failure counts as not running.
bool isProgramRunning(const std::string& mutexName, const std::string& progExe);

// Asks the user to close the application; false when they chose Cancel.
bool confirmRunningProgram(const LanguageTexts& texts, const std::string& titel);

}  // namespace brindle
