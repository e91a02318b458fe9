#include <cstdio>
#include <filesystem>
#include <fstream>

#include "commands/command.h"
#include "commands/example_project.h"
#include "host/host_system.h"

namespace brindle::tool {

namespace fs = std::filesystem;

namespace {
const char kHelp[] =
    "usage: brindle-pack init DIR\n"
    "\n"
    "Writes a small working install project into DIR (new or empty): setup.ini,\n"
    "a licence, a readme, the side picture, a file for a copy task, and the\n"
    "application's tree in DIR/app. Build it with: brindle-pack build DIR -o OUT.\n";

int initCommand(const CommandOptions& options) {
    const std::string& folder = options.positional[0];
    const fs::path root = hostPath(folder);
    std::error_code failure;
    if (fs::exists(root, failure) && !(fs::is_directory(root, failure) && fs::is_empty(root, failure)))
        return fail(folder + ": exists and is not an empty folder");
    for (const EmbeddedFile& file : exampleProject()) {
        const fs::path path = root / file.name;
        fs::create_directories(path.parent_path(), failure);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data), std::streamsize(file.size));
        if (failure || !out.flush()) return fail(utf8Path(path) + ": cannot be written");
    }
    std::printf("%s: example project written; build it with: brindle-pack build %s -o setup.exe\n", folder.c_str(),
                folder.c_str());
    return 0;
}
}  // namespace

const Command kInitCommand{
    "init",
    "  init DIR                        write a small example install project into DIR\n",
    kHelp,
    {},
    {},
    1,
    1,
    {},
    "needs one DIR",
    initCommand,
};

}  // namespace brindle::tool
