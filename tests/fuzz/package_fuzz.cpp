// Reads arbitrary bytes as a package and extracts it into a scratch folder
// that holds a link to a folder beside it: nothing may be written outside
// the scratch folder or through the link, and the reader and extraction must
// stay inside their buffers whatever the directory and blocks claim.
#include <limits.h>
#include <unistd.h>

#include <algorithm>
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
// The output folder lies this many folders below the scratch root. Each
// level an entry name climbs takes three of its characters ("..\"), and a
// path longer than PATH_MAX cannot be opened, so a name that climbs out of
// the output folder still lands inside the root, where it shows.
constexpr int kDepth = PATH_MAX / 3 + 1;

struct Scratch {
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "brindle-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        root = pattern;
        out = root;
        for (int level = 0; level < kDepth; ++level) fs::create_directory(out /= "d");
        fs::create_directory(root / "elsewhere");
        makeOutput();
    }
    void makeOutput() const {
        fs::create_directory(out);
        fs::create_directory_symlink(root / "elsewhere", out / "link");
    }
    ~Scratch() { fs::remove_all(root); }

    // True when nothing but the chain of folders down to `out` (and, at the
    // top, the package and the link's target) lies outside `out`.
    bool onlyOutputWritten(const fs::path& package) const {
        for (fs::path level = root; level != out; level /= "d")
            for (const fs::directory_entry& entry : fs::directory_iterator(level))
                if (entry.path() != level / "d" && entry.path() != package && entry.path() != root / "elsewhere")
                    return false;
        return true;
    }

    fs::path root, out;
};

// On POSIX only a ".." step can lead out of the destination: names without
// one need no look outside it.
bool climbs(const std::string& name) {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    return ("/" + path + "/").find("/../") != std::string::npos;
}

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
        brindle::extractAll(reader, scratch.out.string(), "ini|");
        const auto& entries = reader.entries();
        const bool mayClimb = std::any_of(entries.begin(), entries.end(),
                                          [](const brindle::PackageEntry& entry) { return climbs(entry.name); });
        if (mayClimb && !scratch.onlyOutputWritten(packagePath)) std::abort();
        if (!fs::is_empty(scratch.root / "elsewhere")) std::abort();
        fs::remove_all(scratch.out);
        scratch.makeOutput();
    }
    return 0;
}
