#include "toolkit/file_paths.h"

#include "toolkit/files.h"

namespace brindle {

bool fileExists(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return pathExists(path.substr(0, path.size() - 1));
    return pathExists(path);
}

bool readWholeFile(InputFile& file, std::string& content) {
    const std::int64_t size = file.size();
    if (size < 0 || std::uint64_t(size) > content.max_size()) return false;
    content.resize(std::size_t(size));
    return file.read(content.data(), content.size()) == content.size();
}

bool readWholeFile(const std::string& path, std::string& content) {
    InputFile file;
    return file.open(path) && readWholeFile(file, content);
}

bool readFileStamp(const std::string& path, FileStamp& stamp) {
    InputFile file;
    if (!file.open(path) || file.size() < 0) return false;
    stamp = {std::uint64_t(file.size()), file.lastWriteTime()};
    return true;
}

bool linkOnTheWay(const std::string& path, std::size_t from) {
    for (std::size_t slash = path.find('\\', from); slash != std::string::npos && slash + 1 < path.size();
         slash = path.find('\\', slash + 1))
        if (isLink(path.substr(0, slash))) return true;
    return false;
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
