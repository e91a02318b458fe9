// Path macros: %Name% placeholders in setup.ini paths that stand for the
// machine's system folders.
#pragma once

#include <functional>
#include <span>
#include <string>

namespace brindle {

// Folder codes of the system folder lookup.
enum FolderCode : int {
    kDesktopFolder = 0,
    kProgramsFolder = 2,
    kDocumentsFolder = 5,
    kStartupFolder = 7,
    kFontsFolder = 20,
    kCommonProgramsFolder = 23,
    kAppDataFolder = 26,
    kCommonFilesFolder = 43,
    kSystemFolder = -2,
    kWindowsFolder = -3,
    kQuickLaunchFolder = -5,
    kProgramFilesFolder = -6,
    kVantrelFolder = -7,
};

// The macros that expand() replaces, in the order it replaces them.
struct PathMacro {
    const char* name;  // with its "%" signs
    int code;
};
std::span<const PathMacro> pathMacros();

// Gives the folder for a code: ending in "\", or empty when not found.
using FolderLookup = std::function<std::string(int code)>;

// A path with a drive letter (":\" as its second and third characters) stays
// as it is. In appending mode a path with fewer than two "%" gets the program
// files folder in front. Otherwise each macro, in a fixed order and with
// exact case, is replaced everywhere by its folder (an empty folder removes
// its macro).
std::string expand(const std::string& path, bool appending, const FolderLookup& folderPath);

// Replaces every occurrence of `macro` in `text`, left to right, without overlap.
std::string replaceAll(std::string text, const std::string& macro, const std::string& replacement);

}  // namespace brindle
