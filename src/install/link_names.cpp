#include "install/link_names.h"

#include "toolkit/path_text.h"

namespace brindle {

namespace {
std::string unquoted(const std::string& path) { return !path.empty() && path[0] == '"' ? path.substr(1) : path; }
}  // namespace

std::string filePartOf(const std::string& path) {
    const std::string name = unquoted(path);
    const std::size_t last = name.find_last_of("\\/");
    return last == std::string::npos ? name : name.substr(last + 1);
}

std::string folderPartOf(const std::string& path) { return pathPartOf(unquoted(path)); }

std::string shortcutNameOf(const std::string& path) {
    const std::string name = filePartOf(path);
    return name.substr(0, name.find('.'));
}

std::string withLinkExtension(const std::string& name) {
    return name.ends_with(".lnk") ? name : name + ".lnk";
}

}  // namespace brindle
