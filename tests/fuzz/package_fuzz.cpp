// Reads arbitrary bytes as a package and extracts it into a scratch folder:
// nothing may be written outside that folder, and the reader and extraction
// must stay inside their buffers whatever the directory and blocks claim.
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
        fs::create_directory(root / "out");
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
    // Read as an installer: inputs that begin with an executable image's
    // headers reach the certificate table's rules too.
    brindle::InputFile input;
    brindle::PackageReader reader;
    if (input.open(packagePath.string()) &&
        reader.readDirectory(input, brindle::PackageFile::Installer) == brindle::PackageRead::Read &&
        !claimsHugeEntry(reader)) {
        brindle::checkPackage(reader);
        brindle::extractAll(reader, (scratch.root / "out").string(), "ini|");
        // Everything written must lie below the output folder.
        for (const fs::directory_entry& entry : fs::directory_iterator(scratch.root))
            if (entry.path() != packagePath && entry.path() != scratch.root / "out") std::abort();
        fs::remove_all(scratch.root / "out");
        fs::create_directory(scratch.root / "out");
    }
    return 0;
}
