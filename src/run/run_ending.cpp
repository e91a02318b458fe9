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
        case RunOutcome::Installed:
        case RunOutcome::HelpShown: return 0;
        case RunOutcome::Cancelled: return 1;
        case RunOutcome::CouldNotRun: return 2;
        case RunOutcome::ProgramRunning: return 3;
        case RunOutcome::InstallFailed: return 4;
        case RunOutcome::RestartNeeded: return 3010;
    }
    return 2;
}

RunOutcome installOutcome(const RunState& run) {
    switch (run.installStep) {
        case InstallStep::NotRun: return RunOutcome::Cancelled;
        case InstallStep::Failed: return RunOutcome::InstallFailed;
        case InstallStep::Completed: break;
    }
    return run.reboot ? RunOutcome::RestartNeeded : RunOutcome::Installed;
}

}  // namespace brindle
