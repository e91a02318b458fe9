#pragma once

#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace brindle::test {

// A fresh folder below the system's temporary folder, removed with its
// contents when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the core sees it: a path ending in "\".
    std::string corePath() const { return path_.string() + "\\"; }

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> bytesOf(const std::string& text);
std::string readText(const std::filesystem::path& path);
void writeText(const std::filesystem::path& path, const std::string& text);

// Everything below a folder by its relative path ("/" between names): files
// with their content, folders as "name/" with none, links (never followed)
// as "name@" with their target. fill makes the folders along each name.
using FolderContents = std::map<std::string, std::string>;
FolderContents contentsOf(const std::filesystem::path& folder);
void fill(const std::filesystem::path& folder, const FolderContents& contents);

// While the object lives, writes beyond `bytes` into any file fail (EFBIG):
// a full disk that root cannot write past either.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

}  // namespace brindle::test
