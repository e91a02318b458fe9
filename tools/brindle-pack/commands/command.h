// The commands of brindle-pack, in one table: each names itself, gives its
// lines of the overview and its help, says which options and arguments it
// takes, and runs on them once they are sound. A command returns the process
// exit code: 0 success, 1 failure, 2 wrong usage.
#pragma once

#include <set>
#include <span>
#include <string>
#include <vector>

#include "commands/command_options.h"

namespace brindle::tool {

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    const char* overview;  // its lines in `brindle-pack --help`
    const char* help;      // `brindle-pack NAME --help`
    std::set<std::string> valued;  // options that take a value
    std::set<std::string> flags;   // options that take none
    std::size_t leastArguments;    // arguments other than options
    std::size_t mostArguments;
    std::vector<std::string> required;  // options that must be given
    const char* needs;                  // what wrong usage is told: "needs DIR and -o OUT"
    int (*run)(const CommandOptions& options);
};

extern const Command kInitCommand, kBuildCommand, kReferenceCommand, kPackCommand, kListCommand, kExtractCommand,
    kVerifyCommand, kSignCommand;

// Every command, in the order of the overview.
std::span<const Command* const> commands();

// The help of `brindle-pack` itself: the commands' overview.
std::string overview();

// Runs `command` on the arguments after its name: its help when they ask
// for it, else the command once they are sound.
int runCommand(const Command& command, const Arguments& args);

// Prints "brindle-pack: <message>" on stderr and returns `code`.
int fail(const std::string& message, int code = 1);

}  // namespace brindle::tool
