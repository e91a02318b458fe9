// brindle-pack: builds installers from install projects; makes, lists,
// extracts and verifies packages; signs installers.
#include <cstdio>

#include "commands/command.h"
#include "host/host_system.h"

int main(int argc, char** argv) {
    using namespace brindle::tool;
    const Arguments all = hostArguments(argc, argv);
    if (all.empty() || all[0] == "--help" || all[0] == "-h") {
        std::fputs(overview().c_str(), all.empty() ? stderr : stdout);
        return all.empty() ? 2 : 0;
    }
    if (all[0] == "--version") {
        std::puts("brindle-pack " BRINDLE_VERSION);
        return 0;
    }
    for (const Command* command : commands())
        if (all[0] == command->name) return runCommand(*command, Arguments(all.begin() + 1, all.end()));
    return fail("unknown command '" + all[0] + "' (try --help)", 2);
}
