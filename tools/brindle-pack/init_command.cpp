#include <cstdio>
#include <filesystem>
#include <fstream>

#include "commands.h"
#include "example_project.h"
#include "host_system.h"

namespace brindle::tool {

namespace fs = std::filesystem;

namespace {
const char kHelp[] =
    "usage: brindle-pack init DIR\n"
    "\n"
    "Writes a small working install project into DIR (new or empty): setup.ini,\n"
    "a licence, a readme, the side picture, a file for a copy task, and the\n"
    "application's tree in DIR/app. Build it with: brindle-pack build DIR -o OUT.\n";
}  // namespace

int initCommand(const Arguments& args) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return fail("init: needs one DIR (try --help)", 2);
    const fs::path root = hostPath(args[0]);
    std::error_code failure;
    if (fs::exists(root, failure) && !(fs::is_directory(root, failure) && fs::is_empty(root, failure)))
        return fail(args[0] + ": exists and is not an empty folder");
    for (const EmbeddedFile& file : exampleProject()) {
        const fs::path path = root / file.name;
        fs::create_directories(path.parent_path(), failure);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data), std::streamsize(file.size));
        if (failure || !out.flush()) return fail(utf8Path(path) + ": cannot be written");
    }
    std::printf("%s: example project written; build it with: brindle-pack build %s -o setup.exe\n", args[0].c_str(),
                args[0].c_str());
    return 0;
}

}  // namespace brindle::tool
