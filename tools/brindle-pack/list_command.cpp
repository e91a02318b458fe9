#include <cinttypes>
#include <cstdio>

#include "commands.h"
#include "package_file.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack list FILE\n"
    "\n"
    "Prints one line per entry of the package at the end of FILE (a package or an\n"
    "installer, signed or not), fields separated by one tab: kind (0 folder,\n"
    "1 file), size, stored size, offset, creation time, last-write time (both\n"
    "decimal FILETIME), name as stored.\n";
}  // namespace

int listCommand(const Arguments& args) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args.size() != 1) return fail("list: needs exactly one FILE (try --help)", 2);
    InputFile file;
    PackageReader package;
    if (const std::string problem = readPackageFile(args[0], file, package); !problem.empty()) return fail(problem);
    for (const PackageEntry& entry : package.entries()) {
        std::printf("%" PRId32 "\t%" PRId32 "\t%" PRId32 "\t%" PRIu32 "\t%" PRIu64 "\t%" PRIu64 "\t%s\n", entry.kind,
                    entry.size, entry.storedSize, std::uint32_t(entry.offset), entry.created, entry.modified,
                    entry.name.c_str());
    }
    return 0;
}

}  // namespace brindle::tool
