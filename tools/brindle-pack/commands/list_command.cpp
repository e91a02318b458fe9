#include <cinttypes>
#include <cstdio>

#include "commands/command.h"
#include "package/block_method.h"
#include "package/package_reader.h"
#include "toolkit/files.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack list FILE\n"
    "\n"
    "Prints one line per entry of the package at the end of FILE (a package or an\n"
    "installer, signed or not), fields separated by one tab: kind (0 folder,\n"
    "1 file), size, stored size, offset, creation time, last-write time (both\n"
    "decimal FILETIME), name as stored, block method (raw, lz, lzma, or unknown\n"
    "for a block of no known signature).\n";

// A packed block's method, from its signature.
BlockMethod methodOf(InputFile& file, const PackageEntry& entry) {
    if (entry.storedSize == entry.size) return BlockMethod::Raw;
    std::uint8_t signature[2];
    if (!file.seek(entry.offset) || file.read(signature, 2) != 2) return BlockMethod::Unknown;
    return packedBlockMethod(signature, 2);
}

int listCommand(const CommandOptions& options) {
    const std::string& file = options.positional[0];
    PackageReader package;
    InputFile blocks;
    if (!package.readDirectory(file) || !blocks.open(package.packagePath())) return fail(file + ": no package found");
    for (const PackageEntry& entry : package.entries()) {
        std::printf("%" PRId32 "\t%" PRIu32 "\t%" PRIu32 "\t%" PRIu32 "\t%" PRIu64 "\t%" PRIu64 "\t%s\t%s\n", entry.kind,
                    entry.size, entry.storedSize, entry.offset, entry.created, entry.modified, entry.name.c_str(),
                    blockMethodName(methodOf(blocks, entry)));
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
