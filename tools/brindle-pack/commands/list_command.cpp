#include <cinttypes>
#include <cstdio>

#include "commands/command.h"
#include "package/package_reader.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack list FILE\n"
    "\n"
    "Prints one line per entry of the package at the end of FILE (a package or an\n"
    "installer, signed or not), fields separated by one tab: kind (0 folder,\n"
    "1 file), size, stored size, offset, creation time, last-write time (both\n"
    "decimal FILETIME), name as stored.\n";

int listCommand(const CommandOptions& options) {
    const std::string& file = options.positional[0];
    PackageReader package;
    if (!package.readDirectory(file)) return fail(file + ": no package found");
    for (const PackageEntry& entry : package.entries()) {
        std::printf("%" PRId32 "\t%" PRId32 "\t%" PRId32 "\t%" PRIu32 "\t%" PRIu64 "\t%" PRIu64 "\t%s\n", entry.kind,
                    entry.size, entry.storedSize, std::uint32_t(entry.offset), entry.created, entry.modified,
                    entry.name.c_str());
    }
    return 0;
}
}  // namespace

const Command kListCommand{
    "list",
    "  list FILE                       one line per entry of the package in FILE\n",
    kHelp,
    {},
    {},
    1,
    1,
    {},
    "needs exactly one FILE",
    listCommand,
};

}  // namespace brindle::tool
