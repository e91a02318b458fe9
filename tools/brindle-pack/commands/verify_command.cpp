#include <cinttypes>
#include <cstdio>

#include "commands/command.h"
#include "package/package_check.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack verify FILE\n"
    "\n"
    "Reads every block of the package at the end of FILE and checks names, kinds,\n"
    "offsets, bounds and checksums. Exit code 0 when all is sound; otherwise each\n"
    "bad entry is named on stderr and the exit code is 1. A signed installer is\n"
    "read in front of its certificate table, and a line tells of the signature.\n";

int verifyCommand(const CommandOptions& options) {
    const std::string& file = options.positional[0];
    PackageReader package;
    if (!package.readDirectory(file)) return fail(file + ": no package found (or its directory is damaged)");
    if (package.signatureFound())
        std::printf("signature: present (certificate table of %" PRIu32 " bytes)\n", package.certificateTableSize());
    const std::vector<EntryProblem> problems = checkPackage(package);
    for (const EntryProblem& problem : problems) {
        const std::string& name = problem.index < package.entries().size() ? package.entries()[problem.index].name
                                                                            : file;
        std::fprintf(stderr, "brindle-pack: %s: %s\n", name.c_str(), problem.what.c_str());
    }
    if (!problems.empty()) return 1;
    std::printf("%zu entries, all sound\n", package.entries().size());
    return 0;
}
}  // namespace

const Command kVerifyCommand{
    "verify",
    "  verify FILE                     check every block of the package\n",
    kHelp,
    {},
    {},
    1,
    1,
    {},
    "needs exactly one FILE",
    verifyCommand,
};

}  // namespace brindle::tool
