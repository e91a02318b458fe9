#include "host/host_tree.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>

#include "host/host_system.h"
#include "host/windows_names.h"

namespace brindle::tool {

namespace fs = std::filesystem;

namespace {
constexpr std::uint64_t kFiletimeAtUnixEpoch = 116444736000000000ULL;
constexpr std::uint64_t kTicksPerSecond = 10'000'000;

class TreeWalk {
public:
    TreeWalk(const fs::path& skip, const EntryTimes& times, std::vector<TreeItem>& items,
             std::vector<TreeProblem>& problems)
        : skip_(skip), times_(times), items_(items), problems_(problems) {}

    void walk(const fs::path& folder, const std::string& prefix) {
        std::error_code failure;
        std::vector<std::pair<std::string, fs::directory_entry>> children;  // package name, host entry
        std::vector<TreeProblem> refused;
        for (fs::directory_iterator it(folder, failure), end; !failure && it != end; it.increment(failure)) {
            if (it->path().lexically_normal() == skip_) continue;
            const std::string hostName = utf8Path(it->path().filename());
            if (const std::string why = windowsNameProblem(hostName); !why.empty())
                refused.push_back({it->path(), "name cannot be used on Windows: it " + why});
            else
                children.emplace_back(*toWindowsName(hostName), *it);
        }
        if (failure) return problem(folder, failure.message());
        // The package's byte order, the same whatever order or encoding the host lists names in.
        std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::sort(refused.begin(), refused.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
        problems_.insert(problems_.end(), refused.begin(), refused.end());
        std::map<std::string, fs::path> seen;  // folded name: the first child of that name
        for (const auto& [name, child] : children) {
            const auto [first, isNew] = seen.emplace(foldWindowsName(name), child.path());
            if (!isNew) {
                problem(child.path(), "same name as " + utf8Path(first->second.filename()) +
                                          " when case is ignored, as Windows compares names");
                continue;
            }
            add(child, prefix + name);
        }
    }

private:
    void problem(const fs::path& path, const std::string& message) { problems_.push_back({path, message}); }

    void add(const fs::directory_entry& child, const std::string& name) {
        std::error_code failure;
        const fs::file_status status = child.symlink_status(failure);
        if (failure) return problem(child.path(), failure.message());
        if (!fs::is_directory(status) && !fs::is_regular_file(status))
            return problem(child.path(), "only folders and regular files can be packed");
        const std::optional<std::uint64_t> modified = lastWriteTime(child.path());
        if (!modified) return problem(child.path(), "its last-write time cannot be read");
        TreeItem item;
        item.hostPath = child.path();
        item.modified = times_.clamp(*modified);
        if (fs::is_directory(status)) {
            item.packageName = name + "\\";
            item.isFolder = true;
            items_.push_back(item);
            walk(child.path(), item.packageName);
        } else {
            item.packageName = name;
            item.size = child.file_size(failure);
            items_.push_back(item);
        }
    }

    const fs::path skip_;
    const EntryTimes& times_;
    std::vector<TreeItem>& items_;
    std::vector<TreeProblem>& problems_;
};
}  // namespace

bool EntryTimes::readEnvironment(std::string& error) {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (!text) return true;
    const std::string seconds = text;
    if (seconds.empty() || seconds.size() > 11 || seconds.find_first_not_of("0123456789") != std::string::npos) {
        error = "SOURCE_DATE_EPOCH is \"" + seconds + "\", not a whole number of seconds";
        return false;
    }
    latest_ = kFiletimeAtUnixEpoch + std::stoull(seconds) * kTicksPerSecond;
    return true;
}

std::uint64_t EntryTimes::clamp(std::uint64_t filetime) const {
    return latest_ ? std::min(filetime, *latest_) : filetime;
}

std::uint64_t EntryTimes::of(const fs::path& path) const {
    return clamp(lastWriteTime(path).value_or(0));
}

void collectTree(const fs::path& root, const fs::path& skip, const EntryTimes& times, std::vector<TreeItem>& items,
                 std::vector<TreeProblem>& problems) {
    items.clear();
    std::error_code failure;
    if (!fs::is_directory(root, failure)) {
        problems.push_back({root, "not a folder"});
        return;
    }
    // The folder to leave out, spelt as the walk will meet it.
    fs::path skipped;
    if (!skip.empty() && fs::exists(skip, failure)) {
        const fs::path inside = fs::relative(fs::canonical(skip, failure), fs::canonical(root, failure), failure);
        if (!failure && !inside.empty() && *inside.begin() != "..") skipped = (root / inside).lexically_normal();
    }
    TreeWalk(skipped, times, items, problems).walk(root, "");
}

bool readWholeFile(const fs::path& path, std::vector<std::uint8_t>& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace brindle::tool
