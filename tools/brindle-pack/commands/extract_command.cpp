#include <cstdio>
#include <filesystem>

#include "checks/name_clashes.h"
#include "commands/command.h"
#include "commands/printable_name.h"
#include "host/host_system.h"
#include "package/entry_name.h"
#include "package/extraction.h"
#include "commands/package_file.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack extract FILE -C DIR [--keep LIST]\n"
    "\n"
    "Extracts the package at the end of FILE into DIR as the installer does: folders\n"
    "are created, files written with their times, existing files replaced, except\n"
    "files whose extension is on LIST (\"ini|cfg|\", compared exactly) where a file\n"
    "of that name exists. Nothing is written through a link inside DIR, nor when it\n"
    "would not fit the free space. Entries that are damaged, truncated, whose names\n"
    "would leave DIR, or that take the name of an earlier entry are reported and the\n"
    "exit code is 1.\n";

int extractCommand(const CommandOptions& options) {
    const std::string& file = options.positional[0];
    const std::string folder = options.value("-C"), keep = options.value("--keep");
    InputFile input;
    PackageReader package;
    if (const std::string problem = readPackageFile(file, input, package); !problem.empty()) return fail(problem);
    std::error_code failure;
    std::filesystem::create_directories(hostPath(folder), failure);
    if (failure) return fail(folder + ": " + failure.message());

    const std::vector<ExtractResult> results = extractAll(package, folder, keep);
    const std::vector<PackageEntry>& entries = package.entries();
    std::vector<std::string> problems(results.size());
    for (std::size_t i = 0; i < results.size(); ++i) problems[i] = problemOf(entries[i], results[i]);
    // An entry made over an earlier one of its name took that one's place.
    for (const NameClash& clash : nameClashes(entries))
        if (problems[clash.index].empty()) problems[clash.index] = describeClash(entries, clash);
    int code = 0;
    for (std::size_t i = 0; i < problems.size(); ++i) {
        if (problems[i].empty()) continue;
        std::fprintf(stderr, "brindle-pack: %s: %s\n", printableName(entries[i].name).c_str(), problems[i].c_str());
        code = 1;
    }
    return code;
}
}  // namespace

const Command kExtractCommand{
    "extract",
    "  extract FILE -C DIR [--keep L]  extract the package into DIR, keeping files whose\n"
    "                                  extension is on L (\"ini|cfg|\") where they exist\n",
    kHelp,
    {"-C", "--keep"},
    {},
    1,
    1,
    {"-C"},
    "needs FILE and -C DIR",
    extractCommand,
};

}  // namespace brindle::tool
