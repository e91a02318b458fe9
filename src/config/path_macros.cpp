#include "config/path_macros.h"

#include <algorithm>

namespace brindle {

namespace {
constexpr PathMacro kMacros[] = {
    {"%ProgramFiles%", kProgramFilesFolder}, {"%Windows%", kWindowsFolder},   {"%System%", kSystemFolder},
    {"%CommonFiles%", kCommonFilesFolder},   {"%AppData%", kAppDataFolder},   {"%StartUp%", kStartupFolder},
    {"%QuickLaunch%", kQuickLaunchFolder},   {"%MyDocuments%", kDocumentsFolder}, {"%Vantrel%", kVantrelFolder},
    {"%Fonts%", kFontsFolder},
};
}  // namespace

std::span<const PathMacro> pathMacros() { return kMacros; }

std::string replaceAll(std::string text, const std::string& macro, const std::string& replacement) {
    if (macro.empty()) return text;
    for (std::size_t at = text.find(macro); at != std::string::npos; at = text.find(macro, at + replacement.size()))
        text.replace(at, macro.size(), replacement);
    return text;
}

std::string expand(const std::string& path, bool appending, const FolderLookup& folderPath) {
    if (path.size() >= 3 && path.compare(1, 2, ":\\") == 0) return path;
    if (appending && std::count(path.begin(), path.end(), '%') < 2) return folderPath(kProgramFilesFolder) + path;
    std::string text = path;
    for (const PathMacro& macro : kMacros) text = replaceAll(text, macro.name, folderPath(macro.code));
    return text;
}

}  // namespace brindle
