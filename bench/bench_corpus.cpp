#include "bench_corpus.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

const char* const kWineDlls = "/usr/lib/i386-linux-gnu/wine/i386-windows";
constexpr std::size_t kDllSampleCount = 32;
constexpr std::uintmax_t kLargestSampledDll = 512u << 10;
constexpr std::size_t kDocTextBudget = 1u << 20;

std::vector<std::uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool looksBinary(const std::vector<std::uint8_t>& bytes) {
    const auto head = bytes.begin() + std::min<std::size_t>(bytes.size(), 4096);
    return std::find(bytes.begin(), head, 0) != head;
}

std::vector<fs::path> filesUnder(const fs::path& root) {
    std::vector<fs::path> files;
    std::error_code error;
    if (fs::is_regular_file(root, error)) return {root};
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) && !it->is_symlink(error)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void add(Corpus& corpus, const fs::path& path) {
    CorpusFile file{path.string(), readFile(path)};
    if (file.bytes.empty()) return;
    (looksBinary(file.bytes) ? corpus.binaries : corpus.text).push_back(std::move(file));
}

}  // namespace

Corpus loadCorpus(const std::vector<std::string>& paths) {
    Corpus corpus;
    for (const std::string& path : paths) {
        for (const fs::path& file : filesUnder(path)) add(corpus, file);
    }
    return corpus;
}

Corpus loadDefaultCorpus() {
    Corpus corpus;
    // Every k-th DLL by name, so that the sample spreads over the whole set.
    std::vector<fs::path> dlls;
    for (const fs::path& file : filesUnder(kWineDlls)) {
        std::error_code error;
        if (file.extension() == ".dll" && fs::file_size(file, error) <= kLargestSampledDll) dlls.push_back(file);
    }
    const std::size_t step = std::max<std::size_t>(1, dlls.size() / kDllSampleCount);
    for (std::size_t at = 0; at < dlls.size() && corpus.binaries.size() < kDllSampleCount; at += step) {
        add(corpus, dlls[at]);
    }

    for (const fs::path& file : filesUnder("/usr/share/common-licenses")) add(corpus, file);
    std::size_t docBytes = 0;
    for (const fs::path& file : filesUnder("/usr/share/doc")) {
        if (docBytes >= kDocTextBudget || file.extension() == ".gz") continue;
        CorpusFile doc{file.string(), readFile(file)};
        if (doc.bytes.empty() || looksBinary(doc.bytes)) continue;
        docBytes += doc.bytes.size();
        corpus.text.push_back(std::move(doc));
    }
    return corpus;
}
