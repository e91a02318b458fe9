#include "run/run_ending.h"

#include "run/run_state.h"

namespace brindle {

RunEnding runEnding(const RunState& run, bool programExists) {
    if (run.installDir.empty()) return RunEnding::Nothing;
    if (run.reboot) return RunEnding::RestartPrompt;
    return run.startProgram && programExists ? RunEnding::StartProgram : RunEnding::Nothing;
}

unsigned exitCodeOf(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Ended: return 0;
        case RunOutcome::CouldNotRun: return 2;
    }
    return 2;
}

}  // namespace brindle
