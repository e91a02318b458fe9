// Which shortcuts the install step makes, and where: decided from the
// settings alone, so the platform side only writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brindle {

// A shell link to write. Every link of the installer starts its target
// without arguments in a normal window, with no description and no hotkey.
struct Shortcut {
    std::string target;
    std::string linkFile;
    std::string workingFolder;  // may be empty
    std::string iconFile;       // "|" stands for the target itself
    int iconIndex = 0;
};

inline constexpr char kTargetIcon[] = "|";
// Web shortcuts take their icon from here, wherever Windows is installed.
inline constexpr char kWebIconFile[] = "C:\\WINDOWS\\system32\\url.dll";

struct ShortcutInputs {
    std::string installDir;    // ends in "\"
    std::string progExe;
    std::string progLink;      // the program's shortcut name, without ".lnk"
    int iconIndex = 0;
    std::string startMenuDir;  // ends in "\"
    std::string help;          // StartMenue/Help, relative to installDir
    std::string url;
    std::string exe;           // StartMenue/Exe, relative to installDir
    std::uint8_t unistall = 0;
    std::string helpName;      // the Help link's name, blanks trimmed
};

// The start-menu folder's name: the field's text, else ProgExe up to its
// first ".". It may name nested folders.
std::string startMenuFolderName(const std::string& field, const std::string& progExe);
// The Programs folder + the name, ending in "\".
std::string startMenuDirOf(const std::string& programsFolder, const std::string& folderName);

Shortcut desktopShortcut(const std::string& desktopFolder, const ShortcutInputs& inputs);
// Program, additional program, help, home page and uninstaller, in that
// order, each only when setup.ini asks for it.
std::vector<Shortcut> startMenuShortcuts(const ShortcutInputs& inputs);

}  // namespace brindle
