#include <windows.h>

#include "toolkit/file_paths.h"
#include "run/hooks.h"

namespace brindle {

namespace {
// The terminated program gets a moment to go before the installer goes on.
constexpr DWORD kPauseAfterTerminate = 500;

bool startHook(const std::string& workDirectory, const char* name, unsigned options, ProgramHandle& handle) {
    const std::string path = workDirectory + name;
    return fileExists(path) && startProgram(path, "", workDirectory, options, &handle);
}
}  // namespace

bool runBeforeHook(const std::string& workDirectory) {
    ProgramHandle hook;
    // A hook that could not be started, or that the shell ran without a
    // handle, has no exit code to stop the run with.
    if (!startHook(workDirectory, "BeforeBR.exe", kStartWait | kStartKeep, hook) || !hook.isKnown()) return true;
    const bool goOn = hook.exitCode() != 1;
    hook.release();
    return goOn;
}

void startWhileHook(const std::string& workDirectory, ProgramHandle& whileHook) {
    startHook(workDirectory, "WhileBR.exe", kStartKeep, whileHook);
}

void stopWhileHook(ProgramHandle& whileHook) {
    if (!whileHook.isRunning()) return;
    whileHook.terminate();
    whileHook.release();
    Sleep(kPauseAfterTerminate);
}

void stopWhileHookOnClose(const std::string& workDirectory, ProgramHandle& whileHook) {
    if (!fileExists(workDirectory + "StartBR.exe") || !whileHook.isRunning()) return;
    whileHook.terminate();
    Sleep(kPauseAfterTerminate);
}

void runAfterHook(const std::string& workDirectory) {
    ProgramHandle hook;
    startHook(workDirectory, "AfterBR.exe", kStartWait | kStartKeep, hook);
    hook.release();
}

}  // namespace brindle
