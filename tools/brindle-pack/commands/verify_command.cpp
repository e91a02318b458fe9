#include <cinttypes>
#include <cstdio>

#include "checks/name_clashes.h"
#include "commands/command.h"
#include "commands/package_file.h"
#include "commands/printable_name.h"
#include "package/package_check.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack verify FILE\n"
    "\n"
    "Reads every block of the package at the end of FILE and checks names, kinds,\n"
    "offsets, bounds and checksums, and that no two entries take one name on\n"
    "Windows. Exit code 0 when all is sound; otherwise each bad entry is named on\n"
    "stderr and the exit code is 1. A signed installer is read in front of its\n"
    "certificate table, and a line tells of the signature; anything behind the\n"
    "table, or a table of unknown entries, makes it damaged.\n";

int verifyCommand(const CommandOptions& options) {
    const std::string& file = options.positional[0];
    InputFile input;
    PackageReader package;
    if (const std::string problem = readPackageFile(file, input, package); !problem.empty()) return fail(problem);
    if (package.signatureFound())
        std::printf("signature: present (certificate table of %" PRIu32 " bytes)\n", package.certificateTableSize());
    const std::vector<PackageEntry>& entries = package.entries();
    std::vector<EntryProblem> problems = checkPackage(package);
    for (const NameClash& clash : nameClashes(entries)) problems.push_back({clash.index, describeClash(entries, clash)});
    for (const EntryProblem& problem : problems) {
        const std::string name = problem.index < entries.size() ? printableName(entries[problem.index].name) : file;
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
