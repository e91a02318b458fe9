#include "toolkit/file_paths.h"

#include "toolkit/files.h"

namespace brindle {

bool fileExists(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return pathExists(path.substr(0, path.size() - 1));
    return pathExists(path);
}

FileResult createFolderChain(const std::string& path) {
    if (isFolder(path)) return {};
    FileResult chain;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '\\') continue;
        std::string prefix = path.substr(0, i + 1);
        if (isFolder(prefix)) continue;
        while (!prefix.empty() && (prefix.back() == ' ' || prefix.back() == '\\' || prefix.back() == '/'))
            prefix.pop_back();
        if (prefix.empty()) continue;
        const FileResult made = createFolder(prefix);
        if (!made && !isFolder(prefix) && chain) chain = made;
    }
    return chain;
}

}  // namespace brindle
