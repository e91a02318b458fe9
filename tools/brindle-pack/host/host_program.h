#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brindle::tool {

// The path of the executable file `name` in the first folder of PATH that
// holds one; nothing when none does.
std::optional<std::string> findOnPath(const std::string& name);

struct ProgramRun {
    int exitCode = -1;   // -1 when it could not be started or did not exit by itself
    std::string output;  // its stdout and stderr together
};

// Runs `program` with `args` directly (no shell), its stdin empty, and waits
// for it to end.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace brindle::tool
