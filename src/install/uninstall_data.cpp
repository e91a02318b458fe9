#include "install/uninstall_data.h"

#include "config/language_texts.h"
#include "config/preference_file.h"
#include "install/link_names.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
std::string upToFirstDot(const std::string& text) { return text.substr(0, text.find('.')); }
}  // namespace

FileResult writeUninstallData(PreferenceFile& file, const UninstallInputs& inputs, const LanguageTexts& texts) {
    const std::string progLink = inputs.progLink.empty() ? upToFirstDot(inputs.progExe) : inputs.progLink;
    file.open(inputs.installDir + "uninstall.dat");

    file.selectGroup("Settings");
    file.writeString("ProgDir", inputs.installDir);
    file.writeString("ProgExe", inputs.progExe);
    file.writeString("GUID", inputs.guid);
    file.writeString("ProgLink", progLink);
    file.writeString("StartMenu", inputs.startMenuDir);
    file.writeString("DesktopIcon", inputs.desktopLink);

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

    file.selectGroup("StartMenu");
    file.writeString("Program", inputs.startMenuDir + progLink + ".lnk");
    file.writeString("AddExe", inputs.startMenuDir + shortcutNameOf(inputs.exe) + ".lnk");
    file.writeString("Help", inputs.startMenuDir + trimBlanks(texts.get(Text::InstallHelp)) + ".lnk");
    file.writeString("Homepage", inputs.startMenuDir + "Homepage.lnk");
    file.writeString("Uninstall", inputs.startMenuDir + "Uninstall.lnk");

    file.selectGroup("UserTask");
    file.writeLong("Number", std::int32_t(inputs.taskRecords.size()));
    for (std::size_t i = 0; i < inputs.taskRecords.size(); ++i)
        file.writeString("Task" + std::to_string(i + 1), inputs.taskRecords[i]);
    return file.close();
}

}  // namespace brindle
