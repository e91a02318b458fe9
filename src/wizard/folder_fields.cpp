#include "wizard/folder_fields.h"

#include "toolkit/path_text.h"

namespace brindle {

namespace {
bool contains(const std::string& text, const std::string& part) {
    return !part.empty() && text.find(part) != std::string::npos;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string joined(const std::string& folder, const std::string& name) {
    return endsWith(folder, "\\") ? folder + name : folder + "\\" + name;
}
}  // namespace

std::string checkedInstallFolder(const std::string& text, const std::string& programFolderName) {
    const std::string folder = ensureTrailingBackslash(text);
    return contains(folder, programFolderName) ? text : folder + programFolderName;
}

std::string browsedInstallFolder(const std::string& folder, const std::string& programFolderName) {
    if (endsWith(folder, programFolderName) || endsWith(folder, programFolderName + "\\")) return folder;
    return joined(folder, programFolderName);
}

std::string checkedStartMenuFolder(const std::string& text, const std::string& startMenuDefault) {
    if (text.empty()) return startMenuDefault;
    return contains(text, startMenuDefault) ? text : ensureTrailingBackslash(text) + startMenuDefault;
}

std::string chosenStartMenuFolder(const std::string& folder, const std::string& startMenuDefault) {
    const std::size_t last = startMenuDefault.rfind('\\');
    const std::string leaf = last == std::string::npos ? startMenuDefault : startMenuDefault.substr(last + 1);
    return endsWith(folder, leaf) ? folder : joined(folder, leaf);
}

}  // namespace brindle
