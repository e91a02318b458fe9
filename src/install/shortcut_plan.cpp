#include "install/shortcut_plan.h"

#include "install/link_names.h"
#include "toolkit/path_text.h"

namespace brindle {

std::string startMenuFolderName(const std::string& field, const std::string& progExe) {
    return !field.empty() ? field : progExe.substr(0, progExe.find('.'));
}

std::string startMenuDirOf(const std::string& programsFolder, const std::string& folderName) {
    return ensureTrailingBackslash(programsFolder + folderName);
}

Shortcut desktopShortcut(const std::string& desktopFolder, const ShortcutInputs& inputs) {
    return {inputs.installDir + inputs.progExe, desktopFolder + inputs.progLink + ".lnk", inputs.installDir,
            kTargetIcon, inputs.iconIndex};
}

std::vector<Shortcut> startMenuShortcuts(const ShortcutInputs& in) {
    const std::string& menu = in.startMenuDir;
    std::vector<Shortcut> links;
    if (!in.progExe.empty())
        links.push_back({in.installDir + in.progExe, menu + in.progLink + ".lnk", in.installDir, kTargetIcon,
                         in.iconIndex});
    if (!in.exe.empty())
        links.push_back({in.installDir + in.exe, menu + shortcutNameOf(in.exe) + ".lnk",
                         in.installDir + folderPartOf(in.exe), kTargetIcon, 0});
    if (!in.help.empty())
        links.push_back({in.installDir + in.help, menu + in.helpName + ".lnk", in.installDir, kTargetIcon, 0});
    if (!in.url.empty()) links.push_back({in.url, menu + "Homepage.lnk", "", kWebIconFile, 0});
    if (in.unistall != 0)
        links.push_back({in.installDir + "Uninstall.exe", menu + "Uninstall.lnk", in.installDir, kTargetIcon, 0});
    return links;
}

}  // namespace brindle
