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
// follows from it alone, in exitCodeOf.
enum class RunOutcome {
    Ended,        // the run went its ordinary way, whatever the user chose there
    CouldNotRun,  // a damaged installer, or nowhere to unpack it
};

unsigned exitCodeOf(RunOutcome outcome);

}  // namespace brindle
