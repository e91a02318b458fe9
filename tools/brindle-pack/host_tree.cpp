#include "host_tree.h"

#include <algorithm>
#include <chrono>
#include <fstream>

#include "package/entry_name.h"
#include "windows_names.h"

namespace brindle::tool {

namespace fs = std::filesystem;

namespace {
constexpr std::int64_t kFiletimeAtUnixEpoch = 116444736000000000LL;

std::uint64_t toFiletime(fs::file_time_type time) {
    const auto sinceEpoch = std::chrono::file_clock::to_sys(time).time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
    return std::uint64_t(ticks + kFiletimeAtUnixEpoch);
}

bool walk(const fs::path& folder, const std::string& prefix, std::vector<TreeItem>& items, std::string& error) {
    std::error_code failure;
    std::vector<fs::directory_entry> children;
    for (fs::directory_iterator it(folder, failure), end; !failure && it != end; it.increment(failure))
        children.push_back(*it);
    if (failure) {
        error = folder.string() + ": " + failure.message();
        return false;
    }
    std::sort(children.begin(), children.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) {
                  return a.path().filename().string() < b.path().filename().string();
              });
    for (const fs::directory_entry& child : children) {
        const std::string hostName = child.path().filename().string();
        const std::optional<std::string> name = toWindowsName(hostName);
        if (!name || name->find_first_of("\\:*?\"<>|") != std::string::npos || !isSafeEntryName(*name)) {
            error = child.path().string() + ": name cannot be used on Windows";
            return false;
        }
        const fs::file_status status = child.symlink_status(failure);
        TreeItem item;
        item.hostPath = child.path();
        item.modified = toFiletime(child.last_write_time(failure));
        if (failure) {
            error = child.path().string() + ": " + failure.message();
            return false;
        }
        if (fs::is_directory(status)) {
            item.packageName = prefix + *name + "\\";
            item.isFolder = true;
            items.push_back(item);
            if (!walk(child.path(), item.packageName, items, error)) return false;
        } else if (fs::is_regular_file(status)) {
            item.packageName = prefix + *name;
            items.push_back(item);
        } else {
            error = child.path().string() + ": only folders and regular files can be packed";
            return false;
        }
    }
    return true;
}
}  // namespace

bool collectTree(const fs::path& root, std::vector<TreeItem>& items, std::string& error) {
    items.clear();
    std::error_code failure;
    if (!fs::is_directory(root, failure)) {
        error = root.string() + ": not a folder";
        return false;
    }
    return walk(root, "", items, error);
}

bool readWholeFile(const fs::path& path, std::vector<std::uint8_t>& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace brindle::tool
