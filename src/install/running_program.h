// Recognising the application among the running processes, and the
// warning shown when it runs.
#pragma once

#include <string>

namespace brindle {

// Upper case as the process scan compares names: "a" to "z" and the bytes
// 0xE0 to 0xFF become the byte 32 lower; every other byte stays.
std::string upperCaseName(std::string text);

// True when the file name of a process's executable (without its folder; a
// leading double quote skipped, a later one ending the name) is progExe.
bool isProgramProcess(const std::string& executable, const std::string& progExe);

// The first line with every "$Titel" replaced by the title, a line feed,
// the second line (the installer's RQ4_Msg and RQ4_Msg2).
std::string runningWarningText(const std::string& firstLine, const std::string& secondLine,
                               const std::string& titel);

}  // namespace brindle
