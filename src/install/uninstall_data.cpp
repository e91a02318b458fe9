#include "install/uninstall_data.h"

#include "config/language_texts.h"
#include "config/preference_file.h"
#include "install/link_names.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
std::string upToFirstDot(const std::string& text) { return text.substr(0, text.find('.')); }

// The template's files without those this run kept from before: they are
// the installation's only where an earlier one recorded them.
std::vector<std::string> writtenFiles(PreferenceFile& file, const std::vector<std::string>& kept) {
    InstallationRecords found;
    readInstallationRecords(file, found);
    std::erase_if(found.files, [&](const std::string& name) { return listsEntry(kept, name); });
    return found.files;
}
}  // namespace

FileResult writeUninstallData(PreferenceFile& file, const UninstallInputs& inputs, const LanguageTexts& texts,
                              std::string& content) {
    const std::string progLink = inputs.progLink.empty() ? upToFirstDot(inputs.progExe) : inputs.progLink;
    file.open(inputs.installDir + "uninstall.dat");

    InstallationRecords current = inputs.made;
    current.files = writtenFiles(file, inputs.keptFiles);
    current.startMenu = inputs.startMenuDir;
    current.desktopIcon = inputs.desktopLink;
    current.startMenuLinks = {inputs.startMenuDir + progLink + ".lnk",
                              inputs.startMenuDir + shortcutNameOf(inputs.exe) + ".lnk",
                              inputs.startMenuDir + trimBlanks(texts.get(Text::InstallHelp)) + ".lnk",
                              inputs.startMenuDir + "Homepage.lnk", inputs.startMenuDir + "Uninstall.lnk"};
    const InstallationRecords records = mergeRecords(current, inputs.earlier);

    file.selectGroup("Settings");
    file.writeString("ProgDir", inputs.installDir);
    file.writeString("ProgExe", inputs.progExe);
    file.writeString("GUID", inputs.guid);
    file.writeString("ProgLink", progLink);
    file.writeString("StartMenu", records.startMenu);
    file.writeString("DesktopIcon", records.desktopIcon);

    file.selectGroup("Language");
    file.writeString("Titel", texts.get(Text::UninstallerTitel));
    file.writeString("Msg", texts.get(Text::UninstallerMsg));
    file.writeString("UninstInfo", texts.get(Text::UninstallerUninstInfo));
    file.writeString("DelAll", texts.get(Text::UninstallerDelAll));
    file.writeString("Error", texts.get(Text::UninstallerError));
    file.writeString("Mutex", texts.get(Text::RequesterRQ4Msg) + "|" + texts.get(Text::RequesterRQ4Msg2));
    file.writeString("Status", texts.get(Text::UninstallerStatus));
    file.writeString("OK", texts.get(Text::UninstallerOK));
    file.writeString("Cancel", texts.get(Text::UninstallerCancel));
    file.writeString("Ready", texts.get(Text::UninstallerReady));
    file.writeString("Kept", texts.get(Text::UninstallerKept));
    file.writeString("Changed", texts.get(Text::UninstallerChanged));

    file.selectGroup("StartMenu");
    const char* const linkKeys[] = {"Program", "AddExe", "Help", "Homepage", "Uninstall"};
    for (std::size_t i = 0; i < records.startMenuLinks.size(); ++i)
        file.writeString(linkKeys[i], records.startMenuLinks[i]);

    writeInstallationRecords(file, records);
    content = file.rendered();
    return file.close();
}

}  // namespace brindle
