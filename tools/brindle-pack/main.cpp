// brindle-pack: builds installers from install projects; makes, lists,
// extracts and verifies packages; signs installers.
#include <cstdio>

#include "commands.h"
#include "host_system.h"

namespace brindle::tool {

int fail(const std::string& message, int code) {
    std::fprintf(stderr, "brindle-pack: %s\n", message.c_str());
    return code;
}

bool wantsHelp(const Arguments& args) {
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h") return true;
    return false;
}

}  // namespace brindle::tool

namespace {
const char kUsage[] =
    "usage: brindle-pack COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  init DIR                        write a small example install project into DIR\n"
    "  build PROJECT -o SETUP.EXE      check the install project and build its installer\n"
    "  reference [TABLE]               the keys, texts, macros and task types the installer reads\n"
    "  pack DIR -o OUT [--stub FILE]   pack DIR's tree; with --stub, FILE comes first (an installer)\n"
    "  list FILE                       one line per entry of the package in FILE\n"
    "  extract FILE -C DIR [--keep L]  extract the package into DIR, keeping files whose\n"
    "                                  extension is on L (\"ini|cfg|\") where they exist\n"
    "  verify FILE                     check every block of the package\n"
    "  sign INSTALLER --cert FILE --key FILE [--timestamp URL]\n"
    "                                  sign INSTALLER in place (osslsigncode)\n"
    "\n"
    "Each command takes --help; --version prints brindle-pack's version.\n";
}  // namespace

int main(int argc, char** argv) {
    using namespace brindle::tool;
    const Arguments all = hostArguments(argc, argv);
    if (all.empty() || all[0] == "--help" || all[0] == "-h") {
        std::fputs(kUsage, all.empty() ? stderr : stdout);
        return all.empty() ? 2 : 0;
    }
    const std::string& command = all[0];
    if (command == "--version") {
        std::puts("brindle-pack " BRINDLE_VERSION);
        return 0;
    }
    const Arguments args(all.begin() + 1, all.end());
    if (command == "init") return initCommand(args);
    if (command == "build") return buildCommand(args);
    if (command == "reference") return referenceCommand(args);
    if (command == "pack") return packCommand(args);
    if (command == "list") return listCommand(args);
    if (command == "extract") return extractCommand(args);
    if (command == "verify") return verifyCommand(args);
    if (command == "sign") return signCommand(args);
    return fail("unknown command '" + command + "' (try --help)", 2);
}
