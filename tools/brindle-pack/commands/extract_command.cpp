#include <cstdio>
#include <filesystem>

#include "commands/command.h"
#include "host/host_system.h"
#include "package/extraction.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack extract FILE -C DIR [--keep LIST]\n"
    "\n"
    "Extracts the package at the end of FILE into DIR as the installer does: folders\n"
    "are created, files written with their times, existing files replaced, except\n"
    "files whose extension is on LIST (\"ini|cfg|\", compared exactly) where a file\n"
    "of that name exists. Entries that are damaged, truncated or whose names would\n"
    "leave DIR are not written; each is reported and the exit code is 1.\n";

const char* describe(ExtractOutcome outcome) {
    switch (outcome) {
        case ExtractOutcome::UnsafeName: return "name would be written outside the destination; not written";
        case ExtractOutcome::Damaged: return "packed block is damaged; not written";
        case ExtractOutcome::Truncated: return "data missing (truncated package); not written";
        case ExtractOutcome::WriteFailed: return "file could not be written";
        case ExtractOutcome::UnknownKind: return "unknown kind; passed over";
        default: return nullptr;
    }
}

int extractCommand(const CommandOptions& options) {
    const std::string& file = options.positional[0];
    const std::string folder = options.value("-C"), keep = options.value("--keep");
    PackageReader package;
    if (!package.readDirectory(file)) return fail(file + ": no package found");
    std::error_code failure;
    std::filesystem::create_directories(hostPath(folder), failure);
    if (failure) return fail(folder + ": " + failure.message());

    const std::vector<ExtractOutcome> outcomes = extractAll(package, folder, keep);
    int code = 0;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (const char* problem = describe(outcomes[i])) {
            std::fprintf(stderr, "brindle-pack: %s: %s\n", package.entries()[i].name.c_str(), problem);
            code = 1;
        }
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
