// POSIX side of the host: names are bytes, taken as UTF-8.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "host/host_system.h"

namespace brindle::tool {

namespace fs = std::filesystem;

namespace {
constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
}  // namespace

std::vector<std::string> hostArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

fs::path hostPath(const std::string& utf8) { return fs::path(utf8); }

std::string utf8Path(const fs::path& path) { return path.string(); }

std::optional<std::uint64_t> lastWriteTime(const fs::path& path) {
    struct stat info{};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    // Seconds and the ticks within the second, as Windows sees a file on such a host.
    const std::int64_t ticks = (std::int64_t(info.st_mtim.tv_sec) + kSecondsFrom1601To1970) * kTicksPerSecond +
                               info.st_mtim.tv_nsec / 100;
    return std::uint64_t(std::max<std::int64_t>(ticks, 0));  // FILETIME starts in 1601
}

// Beside brindle-pack in a build tree, in ../share/brindle/ relative to it when installed.
fs::path shippedFile(const std::string& name) {
    std::error_code failure;
    const fs::path tools = fs::read_symlink("/proc/self/exe", failure).parent_path();
    if (fs::is_regular_file(tools / name, failure)) return tools / name;
    return tools.parent_path() / "share" / "brindle" / name;
}

bool stderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace brindle::tool
