#include <cstdio>

#include "commands/command.h"
#include "host/host_system.h"
#include "commands/package_file.h"
#include "host/host_tree.h"
#include "packing/parallel_packer.h"
#include "packing/staged_output.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack pack DIR -o OUT [--stub FILE] [--method lz|lzma] [-j N]\n"
    "\n"
    "Packs the tree below DIR into the package OUT: folders and files with their\n"
    "last-write times (no later than SOURCE_DATE_EPOCH when that is set), names\n"
    "relative to DIR with \"\\\" separators, in byte order with each folder before\n"
    "its contents. With --stub, OUT begins with FILE's bytes and the package follows\n"
    "it, so that OUT is a runnable installer. Files are packed on N threads (all\n"
    "cores by default); the output is the same for any N. With --method lzma (the\n"
    "default) files of 16 MiB and more are packed with the LZMA method, smaller\n"
    "ones with the LZ method; --method lz packs every file with the LZ method.\n";

int packCommand(const CommandOptions& options) {
    std::string error;
    unsigned threads = 0;
    BlockMethod method = BlockMethod::Lzma;
    if (!options.threads(threads, error) || !options.method(method, error)) return fail(error, 2);
    EntryTimes times;
    if (!times.readEnvironment(error)) return fail(error);

    std::vector<TreeItem> items;
    std::vector<TreeProblem> problems;
    collectTree(hostPath(options.positional[0]), {}, times, items, problems);
    for (const TreeProblem& problem : problems)
        std::fprintf(stderr, "brindle-pack: %s: %s\n", utf8Path(problem.path).c_str(), problem.message.c_str());
    if (!problems.empty()) return 1;

    std::vector<std::uint8_t> stub;
    if (options.has("--stub")) {
        if (const std::string problem = stubProblem(options.value("--stub")); !problem.empty()) return fail(problem);
        if (const FileResult read = readWholeFile(hostPath(options.value("--stub")), stub); !read)
            return fail(withCause(options.value("--stub") + ": cannot be read", read));
    }
    std::vector<PackInput> inputs;
    for (const TreeItem& item : items)
        inputs.push_back({item.packageName, item.isFolder, item.modified, item.hostPath, {}, false, item.size, true,
                          methodForFile(method, item.size)});
    StagedOutput output(hostPath(options.value("-o")));
    Progress quiet(false, 0);
    if (!writePackageFile(output, stub, inputs, threads, quiet, error) || !output.commit(error))
        return fail(error);
    return 0;
}
}  // namespace

const Command kPackCommand{
    "pack",
    "  pack DIR -o OUT [--stub FILE]   pack DIR's tree; with --stub, FILE comes first (an installer)\n",
    kHelp,
    {"-o", "--stub", "-j", "--method"},
    {},
    1,
    1,
    {"-o"},
    "needs DIR and -o OUT",
    packCommand,
};

}  // namespace brindle::tool
