// What a command ends with: its exit code and the text to print, on stdout
// when it succeeded, as the one-line reason on stderr otherwise.
#pragma once

#include <string>
#include <utility>

namespace robot {

struct Outcome {
    int exitCode;
    std::string text;
};

inline Outcome succeeded(std::string output = {}) { return {0, std::move(output)}; }
inline Outcome failed(std::string reason) { return {1, std::move(reason)}; }
inline Outcome misused(std::string reason) { return {2, std::move(reason)}; }

}  // namespace robot
