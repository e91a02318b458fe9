// The programs a package can carry to run before, beside and after the
// wizard: BeforeBR.exe, WhileBR.exe and AfterBR.exe in the work directory,
// started there without parameters. StartBR.exe is never started: its
// presence lets closing the wizard window end WhileBR.exe.
#pragma once

#include <string>

#include "toolkit/programs.h"

namespace brindle {

// Runs BeforeBR.exe to its end; false when it asked to end the installer
// (exit code 1).
bool runBeforeHook(const std::string& workDirectory);
void startWhileHook(const std::string& workDirectory, ProgramHandle& whileHook);
// Cancel and Finish: ends a running WhileBR.exe.
void stopWhileHook(ProgramHandle& whileHook);
// Closing the wizard window: ends a running WhileBR.exe only with StartBR.exe.
void stopWhileHookOnClose(const std::string& workDirectory, ProgramHandle& whileHook);
void runAfterHook(const std::string& workDirectory);

}  // namespace brindle
