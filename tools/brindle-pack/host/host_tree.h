#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brindle::tool {

// Host file times as package entries carry them: FILETIME, and no later
// than SOURCE_DATE_EPOCH when that is set, as reproducible builds expect.
class EntryTimes {
public:
    // False, with `error` filled, when SOURCE_DATE_EPOCH is set but is no
    // whole number of seconds.
    bool readEnvironment(std::string& error);
    std::uint64_t clamp(std::uint64_t filetime) const;
    // The last-write time of `path`, clamped; 0 when it cannot be read.
    std::uint64_t of(const std::filesystem::path& path) const;

private:
    std::optional<std::uint64_t> latest_;
};

struct TreeItem {
    std::filesystem::path hostPath;
    std::string packageName;  // relative, "\" separated, Windows-1252; folders end in "\"
    bool isFolder = false;
    std::uint64_t modified = 0;  // FILETIME, clamped
    std::uint64_t size = 0;
};

struct TreeProblem {
    std::filesystem::path path;
    std::string message;
};

// Lists the tree below `root` in a stable order: names compared byte by
// byte, each folder before its contents; `skip` (when not empty) is left
// out with everything below it. Everything a package cannot carry (links,
// special files, names Windows cannot hold or that collide when case is
// ignored) goes to `problems` instead of `items`.
void collectTree(const std::filesystem::path& root, const std::filesystem::path& skip, const EntryTimes& times,
                 std::vector<TreeItem>& items, std::vector<TreeProblem>& problems);

bool readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& content);

}  // namespace brindle::tool
