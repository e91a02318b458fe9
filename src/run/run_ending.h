// What the run does last, once the wizard is closed and the work directory
// removed: ask for a restart, start the installed program, or neither; and
// the exit code it ends with.
#pragma once

#include <string>

namespace brindle {

struct RunState;

enum class RunEnding { Nothing, RestartPrompt, StartProgram };

// Both follow only an install step of this run: before it there is nothing
// to restart for, and no installed program, only whatever file of that name
// the current folder happens to hold. `programExists` tells whether
// InstallDir + ProgExe exists.
RunEnding runEnding(const RunState& run, bool programExists);

// How the run ended, as far as the process's exit code tells; the code
// follows from it alone, in exitCodeOf. The codes are the same with and
// without a window.
enum class RunOutcome {
    Installed,       // 0: every step of the install step succeeded
    Cancelled,       // 1: ended before the install step, by the user or by BeforeBR.exe
    CouldNotRun,     // 2: a damaged installer, a wrong command line, nowhere to unpack, no window
    ProgramRunning,  // 3: unattended, the application runs and /FORCE was not given
    InstallFailed,   // 4: a step of the install step failed
    RestartNeeded,   // 3010: installed; the system must restart to finish
    HelpShown,       // 0: /? asked for the switches, and nothing else happened
};

unsigned exitCodeOf(RunOutcome outcome);

// The outcome of a run that reached its end: the install step's, or
// Cancelled when it never ran.
RunOutcome installOutcome(const RunState& run);

}  // namespace brindle
