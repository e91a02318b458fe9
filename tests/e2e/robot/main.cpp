// brindle-robot: drives and reads the installer's windows from outside, for
// the end-to-end tests.
//   brindle-robot.exe [--timeout SECONDS] COMMAND OPERANDS...
// Exit code 0 on success, 1 when the window or control did not appear in
// time or the action failed, 2 for wrong usage. The first line on stdout,
// written before anything else, says that the robot has started (so that a
// caller can tell a robot that never got going from one that hangs); the
// command's output follows it. A failure's reason goes to stderr as one line.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands.h"

using namespace robot;

namespace {

constexpr double kDefaultTimeoutSeconds = 30;

size_t operandCount(const Command& command) {
    size_t count = 1;
    for (const char* c = command.operands; *c; ++c) count += *c == ' ';
    return count;
}

std::string usage() {
    std::string text = "usage: brindle-robot [--timeout SECONDS] COMMAND OPERANDS; commands:";
    for (const Command& command : commands()) text += std::string(" ") + command.name + " " + command.operands + ";";
    text.pop_back();
    return text;
}

// Sizes and positions are read in the display's own pixels, whatever scale
// the windows were made for: per monitor where the system knows that,
// else at the system's scale.
void readPhysicalPixels() {
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto setContext = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
    if (setContext == nullptr || !setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) SetProcessDPIAware();
}

Outcome run(int argc, char** argv) {
    int next = 1;
    double timeout = kDefaultTimeoutSeconds;
    if (next < argc && std::strcmp(argv[next], "--timeout") == 0) {
        if (next + 1 >= argc) return misused(usage());
        char* end = nullptr;
        timeout = std::strtod(argv[next + 1], &end);
        if (*end != '\0' || end == argv[next + 1] || !(timeout >= 0)) return misused("bad timeout: " + std::string(argv[next + 1]));
        next += 2;
    }
    if (next >= argc) return misused(usage());
    for (const Command& command : commands()) {
        if (std::strcmp(argv[next], command.name) != 0) continue;
        Operands operands(argv + next + 1, argv + argc);
        if (operands.size() != operandCount(command))
            return misused(std::string("usage: brindle-robot [--timeout SECONDS] ") + command.name + " " + command.operands);
        return command.run(operands, Deadline(timeout));
    }
    return misused("unknown command " + std::string(argv[next]) + "; " + usage());
}

}  // namespace

int main(int argc, char** argv) {
    // Texts go out as the windows gave them, in the ANSI code page, with
    // their line ends untouched.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::fputs("brindle-robot: started\n", stdout);
    std::fflush(stdout);
    readPhysicalPixels();
    Outcome outcome = run(argc, argv);
    if (outcome.exitCode == 0) {
        std::fwrite(outcome.text.data(), 1, outcome.text.size(), stdout);
    } else {
        std::fprintf(stderr, "brindle-robot: %s\n", outcome.text.c_str());
    }
    return outcome.exitCode;
}
