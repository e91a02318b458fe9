#include <cinttypes>
#include <cstdio>

#include "commands/command.h"
#include "commands/package_file.h"
#include "commands/printable_name.h"
#include "package/block_method.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack list FILE\n"
    "\n"
    "Prints one line per entry of the package at the end of FILE (a package or an\n"
    "installer, signed or not), fields separated by one tab: kind (0 folder,\n"
    "1 file), size, stored size, offset, creation time, last-write time (both\n"
    "decimal FILETIME), name as stored, block method (raw, lz, lzma, or unknown\n"
    "for a block of no known signature). In names, control characters, bytes that\n"
    "Windows-1252 leaves unassigned and \"<\" are written as <XX> (hexadecimal).\n";

// A packed block's method, from its signature.
BlockMethod methodOf(InputFile& file, const PackageEntry& entry) {
    if (entry.storedSize == entry.size) return BlockMethod::Raw;
    std::uint8_t signature[2];
    if (!file.seek(entry.offset) || file.read(signature, 2) != 2) return BlockMethod::Unknown;
    return packedBlockMethod(signature, 2);
}

int listCommand(const CommandOptions& options) {
    const std::string& file = options.positional[0];
    InputFile input;
    PackageReader package;
    if (const std::string problem = readPackageFile(file, input, package); !problem.empty()) return fail(problem);
    for (const PackageEntry& entry : package.entries()) {
        std::printf("%" PRId32 "\t%" PRIu32 "\t%" PRIu32 "\t%" PRIu32 "\t%" PRIu64 "\t%" PRIu64 "\t%s\t%s\n", entry.kind,
                    entry.size, entry.storedSize, entry.offset, entry.created, entry.modified,
                    printableName(entry.name).c_str(), blockMethodName(methodOf(input, entry)));
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
