#include <cstdio>
#include <filesystem>
#include <limits>

#include "commands.h"
#include "host_tree.h"
#include "package/package_writer.h"
#include "toolkit/files.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack pack DIR -o OUT [--stub FILE]\n"
    "\n"
    "Packs the tree below DIR into the package OUT: folders and files with their\n"
    "last-write times, names relative to DIR with \"\\\" separators, in byte order\n"
    "with each folder before its contents. With --stub, OUT begins with FILE's\n"
    "bytes and the package follows it, so that OUT is a runnable installer.\n";

struct PackOptions {
    std::string folder;
    std::string output;
    std::string stub;
};

bool parse(const Arguments& args, PackOptions& options, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "-o" || arg == "--stub") && i + 1 < args.size()) {
            (arg == "-o" ? options.output : options.stub) = args[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            error = "pack: unknown or incomplete option '" + arg + "'";
            return false;
        } else if (options.folder.empty()) {
            options.folder = arg;
        } else {
            error = "pack: more than one folder given";
            return false;
        }
    }
    if (options.folder.empty() || options.output.empty()) error = "pack: needs DIR and -o OUT (try --help)";
    return error.empty();
}

bool writeAll(const PackOptions& options, const std::vector<TreeItem>& items, const std::string& target,
              std::string& error) {
    std::vector<std::uint8_t> stub;
    if (!options.stub.empty() && !readWholeFile(options.stub, stub)) {
        error = options.stub + ": cannot be read";
        return false;
    }
    if (stub.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
        error = options.stub + ": too large for a stub";
        return false;
    }
    OutputFile out;
    if (!out.create(target) || !out.write(stub.data(), stub.size())) {
        error = options.output + ": cannot be written";
        return false;
    }
    PackageWriter writer(out, std::uint32_t(stub.size()));
    std::vector<std::uint8_t> content;
    for (const TreeItem& item : items) {
        if (!item.isFolder && !readWholeFile(item.hostPath, content)) {
            error = item.hostPath.string() + ": cannot be read";
            return false;
        }
        const bool added = item.isFolder
                               ? writer.addFolder(item.packageName, item.modified, item.modified)
                               : writer.addFile(item.packageName, content.data(), content.size(), item.modified,
                                                item.modified);
        if (!added) {
            error = item.hostPath.string() + ": does not fit (a package holds less than 2 GiB)";
            return false;
        }
    }
    if (!writer.finish()) {
        error = options.output + ": cannot be written";
        return false;
    }
    return true;
}
}  // namespace

int packCommand(const Arguments& args) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    PackOptions options;
    std::string error;
    if (!parse(args, options, error)) return fail(error, 2);
    std::vector<TreeItem> items;
    if (!collectTree(options.folder, items, error)) return fail(error);

    // Written beside the target first, so that a failure leaves no half package.
    const std::string partial = options.output + ".partial";
    if (!writeAll(options, items, partial, error)) {
        std::filesystem::remove(partial);
        return fail(error);
    }
    std::error_code failure;
    std::filesystem::rename(partial, options.output, failure);
    if (failure) {
        std::filesystem::remove(partial);
        return fail(options.output + ": " + failure.message());
    }
    return 0;
}

}  // namespace brindle::tool
