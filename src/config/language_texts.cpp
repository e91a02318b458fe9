#include "config/language_texts.h"

#include <algorithm>

#include "config/preference_file.h"

namespace brindle {

namespace {
// A default: `before`, then the title, then `between`, then the version, then
// `after`; `title` and `version` say which of them go in.
struct Slot {
    const char* group;
    const char* key;
    const char* before;
    bool title = false;
    const char* between = "";
    bool version = false;
    const char* after = "";
};

constexpr Slot kSlots[kTextCount] = {
    {"Install", "Window", "Install '", true, "'"},
    {"Install", "Msg0", "Required disk space:"},
    {"Install", "Msg1", "Copy Program Files"},
    {"Install", "Msg2", "Create Desktop Icon"},
    {"Install", "Msg3", "Create Startmenu Shortcuts"},
    {"Install", "Msg4", "Program will start right after Brindle has been closed"},
    {"Install", "Msg5", "Create Uninstaller Entry"},
    {"Install", "Msg6", "Create additional Links"},
    {"Install", "Ready", "Completed"},
    {"Install", "Help", "Help"},
    {"Page01", "Titel", "Welcome to the installation of|'", true, "'"},
    {"Page01", "Msg1", "Brindle will now install '", true, "' version ", true, " on your computer."},
    {"Page01", "Msg2", "Click 'Next' to continue installation."},
    {"Page01", "Msg3", "Please close all other applications before continuing."},
    {"Page01", "CopyRight", ""},
    {"Page02", "Titel", "Licence Agreement"},
    {"Page02", "Msg", "Please read the following information before continuing."},
    {"Page02", "AcceptYes", "I accept the agreement"},
    {"Page02", "AcceptNo", "I do not accept the agreement"},
    {"Page03", "Titel", "Setup Settings"},
    {"Page03", "Msg", "Installation Directory, StartMenu Folder and Desktop Icon"},
    {"Page03", "ProgDir", "Install program in this directory:"},
    {"Page03", "MenuDir", "StartMenu folder for Program Shortcuts:"},
    {"Page03", "DesktopIcon", "Create a desktop icon"},
    {"Page04", "Titel", "Information"},
    {"Page04", "Msg", "A short description of the program"},
    {"Page05", "Titel1", "Installation of|'", true, "'"},
    {"Page05", "Titel2", "Installation finished"},
    {"Page05", "Msg", "Click 'Install' to start installation!"},
    {"Page05", "Install", "Install Program '", true, "'"},
    {"Page05", "RunProg", "Start program after closing Brindle."},
    {"Page05", "Ready", "Installation completed"},
    {"Requester", "RQ1_Titel", "Select Start Menu Folder"},
    {"Requester", "RQ1_Msg", "No valid start menu folder."},
    {"Requester", "RQ2_Titel", "Please select a directory"},
    {"Requester", "RQ3_Titel", "Select Directory"},
    {"Requester", "RQ4_Titel", "Brindle - Warning"},
    {"Requester", "RQ4_Msg", "Close Program '", true, "' first!"},
    {"Requester", "RQ4_Msg2", "Then press OK!"},
    {"FileVersion", "Window", "Copy File"},
    {"FileVersion", "FrameOld", "Current File Version"},
    {"FileVersion", "FrameNew", "New File Version"},
    {"FileVersion", "Msg", "Replace the current file with this file version?"},
    {"FileVersion", "Version", "Version:"},
    {"FileVersion", "Lang", "Language:"},
    {"FileVersion", "Desc", "Description:"},
    {"FileVersion", "NotAvailable", "--- not available ---"},
    {"Buttons", "Next", "Next"},
    {"Buttons", "Back", "Back"},
    {"Buttons", "Apply", "Apply"},
    {"Buttons", "Cancel", "Cancel"},
    {"Buttons", "Change", "Change"},
    {"Buttons", "Install", "Install"},
    {"Buttons", "Finish", "Exit"},
    {"Buttons", "Yes", "Yes"},
    {"Buttons", "No", "No"},
    {"Uninstaller", "Titel", "uninstall Program"},
    {"Uninstaller", "Msg", "Program files And registry entries will be removed."},
    {"Uninstaller", "UninstInfo", "Remove the following Program from your computer:"},
    {"Uninstaller", "DelAll", "Delete all(!) files in the directory (including user files)."},
    {"Uninstaller", "Error", "Uninstalling Program Not possible."},
    {"Uninstaller", "Status", "Uninstalling completed."},
    {"Uninstaller", "OK", "OK"},
    {"Uninstaller", "Cancel", "Cancel"},
    {"Uninstaller", "Ready", "Ready"},
    {"Install", "Failed", "Failed: files could not be written"},
    {"Page05", "Failed", "Installation failed"},
    {"Requester", "RQ5_Msg", "Please enter a complete folder path, such as C:\\Programs\\App\\ or \\\\server\\share\\App\\."},
    {"Install", "RemoveOld", "Remove files of the earlier version"},
    {"Uninstaller", "Kept", "Kept, as changed since the installation:"},
    {"Uninstaller", "Changed", "Left, as uninstall.dat was changed since the installation:"},
    {"Requester", "RQ6_Msg", "This program needs a 64-bit version of Windows."},
};

std::string defaultText(const Slot& slot, const std::string& title, const std::string& version) {
    std::string text = slot.before;
    if (slot.title) text += title;
    text += slot.between;
    if (slot.version) text += version;
    return text + slot.after;
}

// The two page titles may break their line where the text has a "|".
bool breaksAtBars(Text text) { return text == Text::Page01Titel || text == Text::Page05Titel1; }

void applyLineBreaks(Text text, std::string& value) {
    if (breaksAtBars(text)) std::replace(value.begin(), value.end(), '|', '\n');
}
}  // namespace

TextName textName(Text text) {
    const Slot& slot = kSlots[int(text) - 1];
    return {slot.group, slot.key};
}

LanguageTexts::LanguageTexts(const std::string& title, const std::string& version) : title_(title), version_(version) {
    for (int slot = 1; slot <= kTextCount; ++slot) {
        texts_[std::size_t(slot)] = defaultText(kSlots[slot - 1], title, version);
        applyLineBreaks(Text(slot), texts_[std::size_t(slot)]);
    }
}

void LanguageTexts::load(PreferenceFile& ini, const std::string& path) {
    ini.open(path);
    std::string group;
    for (int slot = 1; slot <= kTextCount; ++slot) {
        const Slot& entry = kSlots[slot - 1];
        if (group != entry.group) {
            group = entry.group;
            ini.selectGroup(group);
        }
        std::string& text = texts_[std::size_t(slot)];
        text = ini.readString(entry.key, defaultText(entry, title_, version_));
        applyLineBreaks(Text(slot), text);
    }
    ini.close();
}

}  // namespace brindle
