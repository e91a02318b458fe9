#include "commands/command.h"

#include <algorithm>
#include <cstdio>

namespace brindle::tool {

namespace {
const Command* const kCommands[] = {&kInitCommand,  &kBuildCommand,   &kReferenceCommand, &kPackCommand,
                                    &kListCommand,  &kExtractCommand, &kVerifyCommand,    &kSignCommand};

bool wantsHelp(const Arguments& args) {
    return std::any_of(args.begin(), args.end(), [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
}
}  // namespace

std::span<const Command* const> commands() { return kCommands; }

std::string overview() {
    std::string text = "usage: brindle-pack COMMAND [ARGS]\n\ncommands:\n";
    for (const Command* command : kCommands) text += command->overview;
    return text + "\nEach command takes --help; --version prints brindle-pack's version.\n";
}

int runCommand(const Command& command, const Arguments& args) {
    if (wantsHelp(args)) {
        std::fputs(command.help, stdout);
        return 0;
    }
    CommandOptions options(command.name, command.valued, command.flags);
    std::string error;
    if (!options.parse(args, error)) return fail(error, 2);
    const std::vector<std::string>& given = options.positional;
    const bool complete = std::all_of(command.required.begin(), command.required.end(),
                                      [&](const std::string& option) { return !options.value(option).empty(); });
    const bool blank = std::any_of(given.begin(), given.end(), [](const std::string& arg) { return arg.empty(); });
    if (given.size() < command.leastArguments || given.size() > command.mostArguments || !complete || blank)
        return fail(std::string(command.name) + ": " + command.needs + " (try --help)", 2);
    return command.run(options);
}

int fail(const std::string& message, int code) {
    std::fprintf(stderr, "brindle-pack: %s\n", message.c_str());
    return code;
}

}  // namespace brindle::tool
