// What the run does last, once the wizard is closed and the work directory
// removed: ask for a restart, start the installed program, or neither.
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

}  // namespace brindle
