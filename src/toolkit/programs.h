// Starting programs: directly, or through the shell when that fails.
#pragma once

#include <cstdint>
#include <string>

namespace brindle {

enum StartOptions : unsigned { kStartWait = 1, kStartKeep = 4 };

// A started program kept for later: its process handle.
class ProgramHandle {
public:
    ProgramHandle() = default;
    explicit ProgramHandle(void* process) : process_(process) {}

    bool isKnown() const { return process_ != nullptr; }
    bool isRunning() const;
    // The exit code; 259 while the program runs.
    std::uint32_t exitCode() const;
    void terminate();
    void release();

private:
    void* process_ = nullptr;
};

// Starts `file` (quoted unless it begins with a quote) with `parameters`,
// in `folder` (the current folder when empty). With kStartWait the call
// blocks until the program ends; with kStartKeep the handle is returned in
// `kept`. False when neither the direct start nor the shell could start it.
bool startProgram(const std::string& file, const std::string& parameters, const std::string& folder,
                  unsigned options, ProgramHandle* kept = nullptr);

}  // namespace brindle
