#include "project/reference_tables.h"

#include "project/ini_lines.h"

namespace brindle::tool {

namespace {
using N = Names;

constexpr KeyReference kKeys[] = {
    {"Settings", "Language", N::LanguageList,
     "The language files carried beside setup.ini, each written file#language number and followed by a "
     "bar: `german.lng#7|english.lng#9|`. With one entry that file is used; with several, the one whose "
     "number is the user's primary language, else the user picks one. Empty: the built-in English texts."},
    {"Settings", "ProgExe", N::ApplicationFile,
     "The application's main program, relative to the installation folder: looked for among running "
     "programs, target of the program shortcut and the desktop icon, started at the end when the user "
     "wishes. Only a name ending in `.exe` (lower case) offers the desktop icon and the start."},
    {"Info", "Titel", N::Nothing,
     "The application's title: window title, page texts, progress list, uninstall entry, `ProgName` of "
     "the uninstall.dat template."},
    {"Info", "Version", N::Nothing, "Shown after the title in the window title and on the progress list."},
    {"Info", "GUID", N::Nothing,
     "Identifies the application: the registry key under which the installer remembers the user's "
     "choices, and the name of the uninstall entry. Empty: no choice is remembered and the uninstall "
     "entry is named after `ProgLink`."},
    {"Info", "PrgSize", N::Nothing, "Free text of the disk space needed, shown on the status line."},
    {"Task", "MutexString", N::Nothing,
     "Name of a mutex the running application holds; when it exists the installer asks the user to close "
     "the program first. Empty: the running processes are searched for `ProgExe` instead."},
    {"Settings", "Architecture", N::Nothing,
     "`x64`: a 64-bit installation. On 64-bit Windows (x64 or ARM64) the installer uses the native program "
     "files, common files and system folders, the 64-bit registry for the uninstall entry, the remembered "
     "choices and registry tasks, and the uninstaller removes from there; on 32-bit Windows it says the "
     "program needs 64-bit Windows and ends with exit code 2. Empty or `x86`: the 32-bit installation."},
    {"Info", "Web", N::Nothing, "Web address shown as a link on the wizard and given in the uninstall entry."},
    {"Settings", "DefaultDir", N::InstallFolder,
     "Proposed installation folder. A plain name lands in the program files folder; a path with a drive "
     "letter stays as it is; otherwise its path macros are replaced. Its last folder name is added to any "
     "folder the user picks."},
    {"Settings", "Bitmap", N::CarriedFile,
     "The wizard's side picture, a Targa file of 130 x 300 pixels carried beside setup.ini."},
    {"StartMenue", "DefaultDir", N::Nothing, "Proposed name of the start-menu folder."},
    {"Task", "Desktop", N::Nothing, "Not 0: the desktop-icon box starts ticked."},
    {"Task", "StartProg", N::Nothing, "Not 0: the box that starts the program at the end starts ticked."},
    {"Task", "Reboot", N::Nothing, "Not 0: the system asks for a restart at the end, and the program is not started."},
    {"Task", "NoUninstall", N::Nothing,
     "Not 0: no uninstaller. The package carries no `Uninstall.exe` and no uninstall.dat template, and "
     "the installer makes no uninstall entry and writes no uninstall.dat."},
    {"Task", "StartMenu", N::Nothing,
     "Not 0: a start-menu folder with shortcuts is made. 0: the start-menu controls are disabled and the "
     "`StartMenue` keys `Help`, `URL`, `Exe` and `Unistall` are not read."},
    {"Info", "Date", N::Nothing, "Release date, on the progress list's title line."},
    {"Info", "Author", N::Nothing, "Author, on the progress list and in the uninstall entry."},
    {"Info", "EMail", N::Nothing, "Contact address, on the progress list and in the uninstall entry."},
    {"Settings", "NoCopyExt", N::Nothing,
     "Extensions, each followed by a bar, of files the installation keeps where they exist already: "
     "`ini|cfg|` keeps the user's settings."},
    {"Settings", "IconID", N::Nothing, "Index of the icon within `ProgExe` that the program shortcut shows."},
    {"Settings", "RemoveOldFiles", N::Nothing,
     "Not 0: an installation over an earlier one of the same application removes, at the end of the install "
     "step, the earlier files this version no longer carries, each listed in the progress list. 0: they stay "
     "until the uninstall removes them with the rest."},
    {"StartMenue", "ProgLink", N::Nothing,
     "Name of the program shortcut, without `.lnk`. Present but empty: no uninstall entry is made."},
    {"UserTask", "Number", N::Nothing, "How many task lines the installer reads."},
    {"UserTask", "Task", N::Nothing, "`Task1`, `Task2`, … up to `Number`: one user task each (see below)."},
    {"StartMenue", "Help", N::ApplicationFile,
     "A help file, relative to the installation folder, that gets a start-menu shortcut named by the "
     "language text `Install`/`Help`."},
    {"StartMenue", "URL", N::Nothing, "A web address that gets the start-menu shortcut `Homepage.lnk`."},
    {"StartMenue", "Exe", N::ApplicationFile,
     "A second program, relative to the installation folder, that gets a start-menu shortcut."},
    {"StartMenue", "Unistall", N::Nothing, "Not 0: the start-menu shortcut `Uninstall.lnk` to the uninstaller."},
    {kBuilderGroup, "NoDelAll", N::Nothing,
     "Read by brindle-pack only (as `--no-del-all`): 1 tells the uninstaller not to offer removing every "
     "file of the installation folder, only the installed ones."},
};

constexpr MacroReference kMacros[] = {
    {kProgramFilesFolder, "the program files folder", true},
    {kWindowsFolder, "the Windows folder", true},
    {kSystemFolder, "the system folder", true},
    {kCommonFilesFolder, "the common files folder", true},
    {kAppDataFolder, "the user's application data", true},
    {kStartupFolder, "the user's Startup folder", true},
    {kQuickLaunchFolder, "the Quick Launch folder below the user's application data", false},
    {kDocumentsFolder, "the user's documents", true},
    {kVantrelFolder, "the install folder of the Vantrel development environment, where it is installed", false},
    {kFontsFolder, "the fonts folder", true},
};

using F = FieldKind;
constexpr TaskReference kTasks[] = {
    {kDesktopProgram, "shortcut on the desktop to a program of the application",
     {{"name", F::Name}, {"program", F::Program}, {"icon index", F::Number}}, "the shortcut's path",
     "0|Tool|tool.exe|0"},
    {kMenuProgram, "shortcut in the start-menu folder to a program of the application",
     {{"name", F::Name}, {"program", F::Program}, {"icon index", F::Number}}, "the shortcut's path",
     "1|Tool settings|settings.exe|0"},
    {kDesktopWeb, "web shortcut on the desktop", {{"name", F::Name}, {"address", F::Address}},
     "the shortcut's path", "2|Tool website|https://tool.example/"},
    {kMenuWeb, "web shortcut in the start-menu folder", {{"name", F::Name}, {"address", F::Address}},
     "the shortcut's path", "3|Tool website|https://tool.example/"},
    {kStartupProgram, "shortcut in the user's Startup folder to a program of the application",
     {{"name", F::Name}, {"program", F::Program}, {"icon index", F::Number}}, "the shortcut's path",
     "4|Tool agent|agent.exe|0"},
    {kCopyFile, "copy of a file the installer carries",
     {{"target name", F::Name}, {"source", F::CarriedFile}, {"target folder", F::CopyFolder}}, "the target's path",
     "5|notes.txt|extras\\notes.txt|%InstallDir%docs\\"},
    {kRegistryString, "registry string value, written as given",
     {{"root", F::RegistryRoot}, {"key", F::Text}, {"value name", F::OptionalText}, {"text", F::LiteralText}},
     "root|key|value name", "6|2147483649|Software\\Tool|Edition|Standard"},
    {kIniValue, "value in an INI file of the installation",
     {{"file", F::Name}, {"group", F::OptionalText}, {"key", F::Text}, {"value", F::IniValue}}, "none",
     "8|tool.ini|Paths|Data|%InstallDir%data\\"},
};

constexpr RegistryRoot kRoots[] = {
    {0x80000000u, "HKEY_CLASSES_ROOT"}, {0x80000001u, "HKEY_CURRENT_USER"}, {0x80000002u, "HKEY_LOCAL_MACHINE"},
    {0x80000003u, "HKEY_USERS"},        {0x80000005u, "HKEY_CURRENT_CONFIG"},
};
}  // namespace

const KeyReference* keyReference(const std::string& group, const std::string& key) {
    for (const KeyReference& reference : kKeys)
        if (sameIniName(reference.group, group) && sameIniName(reference.key, key)) return &reference;
    return nullptr;
}

const MacroReference* macroReference(int code) {
    for (const MacroReference& reference : kMacros)
        if (reference.code == code) return &reference;
    return nullptr;
}

const TaskReference* taskReference(std::int32_t type) {
    for (const TaskReference& reference : kTasks)
        if (reference.type == type) return &reference;
    return nullptr;
}

std::span<const RegistryRoot> registryRoots() { return kRoots; }

std::vector<std::string> referenceGaps() {
    std::vector<std::string> gaps;
    const auto isRead = [](const KeyReference& reference) {
        for (std::span<const SettingKey> keys : {settingKeys(), std::span<const SettingKey>(kBuilderKeys)})
            for (const SettingKey& key : keys)
                if (sameIniName(key.group, reference.group) && sameIniName(key.key, reference.key)) return true;
        return false;
    };
    for (const SettingKey& key : settingKeys())
        if (!keyReference(key.group, key.key)) gaps.push_back(std::string("key ") + key.group + "/" + key.key);
    for (const SettingKey& key : kBuilderKeys)
        if (!keyReference(key.group, key.key)) gaps.push_back(std::string("key ") + key.group + "/" + key.key);
    for (const KeyReference& reference : kKeys)
        if (!isRead(reference)) gaps.push_back(std::string("unread key ") + reference.group + "/" + reference.key);
    for (const PathMacro& macro : pathMacros())
        if (!macroReference(macro.code)) gaps.push_back(std::string("macro ") + macro.name);
    for (TaskType type : kTaskTypes)
        if (!taskReference(type)) gaps.push_back("task type " + std::to_string(type));
    return gaps;
}

}  // namespace brindle::tool
