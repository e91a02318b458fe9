#include "checks/path_check.h"

#include <algorithm>

#include "checks/spelling.h"
#include "config/path_macros.h"
#include "project/reference_tables.h"
#include "toolkit/path_text.h"

namespace brindle::tool {

namespace {
constexpr const char* kInstallDir = "%InstallDir%";
constexpr const char* kProgDir = "%ProgDir%";
constexpr const char* kStartMenuDir = "%StartMenuDir%";

std::vector<std::string> replacedMacros(MacroUse use) {
    std::vector<std::string> names;
    for (const PathMacro& macro : pathMacros()) names.push_back(macro.name);
    if (use == MacroUse::CopyFolder) names.insert(names.end(), {kInstallDir, kProgDir});
    if (use == MacroUse::IniValue) names.insert(names.end(), {kStartMenuDir, kInstallDir});
    return names;
}

// The path macros and the three of the installation.
std::vector<std::string> everyMacro() {
    std::vector<std::string> names = replacedMacros(MacroUse::CopyFolder);
    names.push_back(kStartMenuDir);
    return names;
}

// A folder macro that the copy replaces ends in a backslash itself.
bool endsInFolderMacro(const std::string& folder) {
    for (const std::string& macro : replacedMacros(MacroUse::CopyFolder))
        if (folder.size() >= macro.size() && folder.compare(folder.size() - macro.size(), macro.size(), macro) == 0)
            return true;
    return false;
}

bool hasDriveLetter(const std::string& path) { return path.size() >= 3 && path.compare(1, 2, ":\\") == 0; }

void warnNoFolder(const std::string& folder, const std::string& why, const ValuePlace& place,
                  Diagnostics& diagnostics) {
    diagnostics.warning(place.file, place.line,
                        place.what + ": the installer makes no folder for a copy, and " + folder + " " + why +
                            "; where it is missing the copy fails");
}
}  // namespace

void checkMacros(const std::string& value, MacroUse use, const ValuePlace& place, Diagnostics& diagnostics) {
    // A path with a drive letter, or (as the installation folder) with fewer
    // than two "%", is taken as it is.
    const bool appending = use != MacroUse::IniValue;
    if (appending && (hasDriveLetter(value) || std::count(value.begin(), value.end(), '%') < 2)) return;
    const std::vector<std::string> replaced = replacedMacros(use);
    const std::vector<std::string> known = everyMacro();
    for (std::size_t open = value.find('%'); open != std::string::npos;) {
        const std::size_t close = value.find('%', open + 1);
        if (close == std::string::npos) break;
        const std::string macro = value.substr(open, close - open + 1);
        const auto exact = std::find(replaced.begin(), replaced.end(), macro);
        if (exact != replaced.end()) {
            if (close + 1 < value.size() && value[close + 1] == '\\')
                diagnostics.warning(place.file, place.line,
                                    place.what + ": " + macro + " ends in a backslash already, so " + macro +
                                        "\\ gives a doubled one; write " + macro + " directly before the next name");
            open = value.find('%', close + 1);
            continue;
        }
        if (macro.find_first_of(" \\") != std::string::npos) {  // text between two macros or a lone "%"
            open = close;
            continue;
        }
        const std::string spelling = nearestSpelling(macro, replaced);
        std::string message = place.what + ": " + macro + " stays as written";
        if (std::find(known.begin(), known.end(), macro) != known.end())
            message += ": it is not replaced in this value";
        else if (!spelling.empty())
            message += "; macros match case and spelling exactly: did you mean " + spelling + "?";
        else
            message += ": no such macro";
        diagnostics.warning(place.file, place.line, message);
        open = value.find('%', close + 1);
    }
}

void checkNoMacros(const std::string& value, const ValuePlace& place, Diagnostics& diagnostics) {
    for (const std::string& macro : everyMacro())
        if (value.find(macro) != std::string::npos)
            diagnostics.warning(place.file, place.line,
                                place.what + ": " + macro + " is written as it is: the installer replaces no "
                                "macro in this value");
}

void checkCopyFolder(const std::string& folder, const Project& project, const ValuePlace& place,
                     Diagnostics& diagnostics) {
    if (folder.back() != '\\' && !endsInFolderMacro(folder)) {
        diagnostics.warning(place.file, place.line,
                            place.what +
                                ": the target folder does not end in \\, so the file name is appended "
                                "to its last name");
        return;
    }
    for (const char* own : {kInstallDir, kProgDir}) {
        if (folder.rfind(own, 0) != 0) continue;
        const std::string inside = folder.substr(std::string(own).size());
        if (!inside.empty() && !project.applicationItem(inside))
            warnNoFolder(folder, "is no folder of the application", place, diagnostics);
        return;
    }
    if (hasDriveLetter(folder)) return warnNoFolder(folder, "need not exist on the user's machine", place, diagnostics);
    if (std::count(folder.begin(), folder.end(), '%') < 2)
        return warnNoFolder(folder, "lies in the program files folder (no macro: %ProgramFiles% is put in front)",
                            place, diagnostics);
    for (const PathMacro& macro : pathMacros()) {
        if (folder.rfind(macro.name, 0) != 0) continue;
        const bool everywhere = macroReference(macro.code)->everywhere;
        if (folder.size() > std::string(macro.name).size() || !everywhere)
            warnNoFolder(folder, "is not a folder every system has", place, diagnostics);
        return;
    }
    warnNoFolder(folder, "is not a folder every system has", place, diagnostics);
}

}  // namespace brindle::tool
