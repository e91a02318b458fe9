#include <cinttypes>
#include <cstdio>

#include "commands.h"
#include "package/package_check.h"
#include "package_file.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack verify FILE\n"
    "\n"
    "Reads every block of the package at the end of FILE and checks names, kinds,\n"
    "offsets, bounds and checksums. Exit code 0 when all is sound; otherwise each\n"
    "bad entry is named on stderr and the exit code is 1. A signed installer is\n"
    "read in front of its certificate table, and a line tells of the signature;\n"
    "anything behind the table, or a table of unknown entries, makes it damaged.\n";
}  // namespace

int verifyCommand(const Arguments& args) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args.size() != 1) return fail("verify: needs exactly one FILE (try --help)", 2);
    InputFile file;
    PackageReader package;
    if (const std::string problem = readPackageFile(args[0], file, package); !problem.empty()) return fail(problem);
    if (package.signatureFound())
        std::printf("signature: present (certificate table of %" PRIu32 " bytes)\n", package.certificateTableSize());
    const std::vector<EntryProblem> problems = checkPackage(package);
    for (const EntryProblem& problem : problems) {
        const std::string& name = problem.index < package.entries().size() ? package.entries()[problem.index].name
                                                                            : args[0];
        std::fprintf(stderr, "brindle-pack: %s: %s\n", name.c_str(), problem.what.c_str());
    }
    if (!problems.empty()) return 1;
    std::printf("%zu entries, all sound\n", package.entries().size());
    return 0;
}

}  // namespace brindle::tool
