#include "temp_folder.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace brindle::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brindle-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::string readText(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}

void writeText(const std::filesystem::path& path, const std::string& text) { writeBytes(path, bytesOf(text)); }

FolderContents contentsOf(const std::filesystem::path& folder) {
    FolderContents contents;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = item.path().lexically_relative(folder).generic_string();
        if (item.is_symlink()) {
            contents[name + "@"] = std::filesystem::read_symlink(item.path()).string();
        } else if (item.is_directory()) {
            contents[name + "/"] = "";
        } else {
            contents[name] = readText(item.path());
        }
    }
    return contents;
}

void fill(const std::filesystem::path& folder, const FolderContents& contents) {
    for (const auto& [name, content] : contents) {
        const std::filesystem::path path = folder / name.substr(0, name.size() - (name.back() == '@'));
        std::filesystem::create_directories(path.parent_path());
        if (name.back() == '/') {
            std::filesystem::create_directories(path);
        } else if (name.back() == '@') {
            std::filesystem::create_symlink(content, path);
        } else {
            writeText(path, content);
        }
    }
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, saved_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
}

}  // namespace brindle::test
