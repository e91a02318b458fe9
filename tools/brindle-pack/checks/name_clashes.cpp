#include "checks/name_clashes.h"

#include <unordered_map>

#include "commands/printable_name.h"
#include "host/windows_names.h"

namespace brindle::tool {

namespace {
// The name as Windows would find it in a folder.
std::string windowsKey(const std::string& name) {
    std::string key;
    for (std::size_t start = 0; start < name.size();) {
        std::size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        start = end + 1;
        while (!part.empty() && (part.back() == ' ' || part.back() == '.')) part.pop_back();
        if (part.empty()) continue;
        if (!key.empty()) key += '\\';
        key += part;
    }
    return foldWindowsName(key);
}
}  // namespace

std::vector<NameClash> nameClashes(const std::vector<PackageEntry>& entries) {
    std::vector<NameClash> clashes;
    std::unordered_map<std::string, std::size_t> first;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto [found, isNew] = first.emplace(windowsKey(entries[i].name), i);
        if (!isNew) clashes.push_back({i, found->second});
    }
    return clashes;
}

std::string describeClash(const std::vector<PackageEntry>& entries, const NameClash& clash) {
    const PackageEntry& earlier = entries[clash.earlier];
    return std::string("same name as the earlier ") + (earlier.kind == kFolderEntry ? "folder " : "file ") +
           printableName(earlier.name) + "; Windows holds only one of them";
}

}  // namespace brindle::tool
