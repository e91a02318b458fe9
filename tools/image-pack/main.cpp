// brindle-image-pack PROGRAM LOADER: packs the Windows program PROGRAM in
// place with the loader program LOADER (a step of the build).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image_packing.h"
#include "pe_image.h"

namespace {

bool readWhole(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.good() || in.eof();
}

int fail(const std::string& path, const std::string& what) {
    std::fprintf(stderr, "brindle-image-pack: %s: %s\n", path.c_str(), what.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace brindle::image_pack;
    if (argc != 3) {
        std::fprintf(stderr, "usage: brindle-image-pack PROGRAM LOADER\n");
        return 2;
    }
    const std::string programPath = argv[1];
    const std::string loaderPath = argv[2];
    std::vector<std::uint8_t> bytes;
    PeImage program;
    PeImage loader;
    std::string error;
    if (!readWhole(programPath, bytes)) return fail(programPath, "cannot be read");
    if (!readPeImage(std::move(bytes), program, error)) return fail(programPath, error);
    if (!readWhole(loaderPath, bytes)) return fail(loaderPath, "cannot be read");
    if (!readPeImage(std::move(bytes), loader, error)) return fail(loaderPath, error);
    const std::vector<std::uint8_t> packed = packImage(program, loader, error);
    if (packed.empty()) return fail(programPath, error);
    // Written beside and renamed over, so that a failed write leaves the
    // linked program as it was.
    const std::string temporary = programPath + ".packing";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(packed.data()), std::streamsize(packed.size()));
        if (!out.flush()) return fail(temporary, "cannot be written");
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, programPath, renameError);
    if (renameError) return fail(programPath, renameError.message());
    std::printf("%s: %zu bytes packed to %zu\n", programPath.c_str(), program.file.size(), packed.size());
    return 0;
}
