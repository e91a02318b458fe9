#include "run/run_ending.h"

#include "run/run_state.h"

namespace brindle {

RunEnding runEnding(const RunState& run, bool programExists) {
    if (run.installDir.empty()) return RunEnding::Nothing;
    if (run.reboot) return RunEnding::RestartPrompt;
    return run.startProgram && programExists ? RunEnding::StartProgram : RunEnding::Nothing;
}

}  // namespace brindle
