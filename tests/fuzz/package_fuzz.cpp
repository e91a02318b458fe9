// Reads arbitrary bytes as a package and extracts it into a scratch folder
// that holds a link to a folder beside it: nothing may be written outside
// the scratch folder or through the link, and the reader and extraction must
// stay inside their buffers whatever the directory and blocks claim.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "package/extraction.h"
#include "package/package_check.h"
#include "package/package_reader.h"

namespace fs = std::filesystem;

namespace {
struct Scratch {
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "brindle-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        root = pattern;
        fs::create_directory(root / "elsewhere");
        makeOutput();
    }
    void makeOutput() const {
        fs::create_directory(root / "out");
        fs::create_directory_symlink("../elsewhere", root / "out" / "link");
    }
    ~Scratch() { fs::remove_all(root); }
    fs::path root;
};

// Entries claiming more are passed over: the decoder's target covers large
// outputs, and clearing the sanitizer's shadow for a forged gigabyte on each
// run would cost more than everything else.
constexpr std::int32_t kLargestEntry = 1 << 20;

bool claimsHugeEntry(const brindle::PackageReader& reader) {
    for (const brindle::PackageEntry& entry : reader.entries())
        if (entry.size > kLargestEntry) return true;
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    const fs::path packagePath = scratch.root / "input.pck";
    if (FILE* file = std::fopen(packagePath.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    brindle::PackageReader reader;
    if (reader.readDirectory(packagePath.string()) && !claimsHugeEntry(reader)) {
        brindle::checkPackage(reader);
        brindle::extractAll(reader, (scratch.root / "out").string(), "ini|");
        // Everything written must lie below the output folder, and not behind its link.
        for (const fs::directory_entry& entry : fs::directory_iterator(scratch.root))
            if (entry.path() != packagePath && entry.path() != scratch.root / "out" &&
                entry.path() != scratch.root / "elsewhere")
                std::abort();
        if (!fs::is_empty(scratch.root / "elsewhere")) std::abort();
        fs::remove_all(scratch.root / "out");
        scratch.makeOutput();
    }
    return 0;
}
