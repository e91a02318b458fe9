#include <gtest/gtest.h>

#include <map>
#include <variant>

#include "config/preference_file.h"
#include "config/setup_settings.h"
#include "temp_folder.h"

namespace brindle {
namespace {

using S = SetupSettings;
using Field = std::variant<std::string S::*, std::int32_t S::*, std::uint8_t S::*, std::int8_t S::*>;

// One key of setup.ini: where it is, what the file says (none: absent) and
// the field it sets, shown as text (none: as the file says).
struct Key {
    const char* group;
    const char* name;
    const char* value;
    Field field;
    const char* expected = nullptr;
};

std::string shown(const std::string& text) { return text; }
std::string shown(int number) { return std::to_string(number); }

// Reads a setup.ini holding `keys` in all four passes and checks each field.
void expectFields(const std::vector<Key>& keys) {
    test::TempFolder folder;
    std::map<std::string, std::string> groups;
    for (const Key& key : keys) {
        if (key.value) groups[key.group] += std::string(key.name) + "=" + key.value + "\n";
    }
    std::string content;
    for (const auto& [group, lines] : groups) content += "[" + group + "]\n" + lines;
    const std::string path = (folder.path() / "setup.ini").string();
    if (!content.empty()) test::writeBytes(path, test::bytesOf(content));
    PreferenceFile ini;
    SetupSettings settings;
    readStartupSettings(ini, path, settings);
    readWizardSettings(ini, path, settings);
    readInstallSettings(ini, path, settings);
    readStartMenuSettings(ini, path, settings);
    for (const Key& key : keys) {
        const std::string field = std::visit([&](auto member) { return shown(settings.*member); }, key.field);
        EXPECT_EQ(field, key.expected ? key.expected : key.value) << key.group << "/" << key.name;
    }
    EXPECT_TRUE(!content.empty() || !std::filesystem::exists(path)) << "reading never writes";
}

TEST(SetupSettings, EveryKeyInItsGroup) {
    expectFields({
        {"Settings", "Language", "english.lng#9|", &S::language},  {"Settings", "ProgExe", "tool.exe", &S::progExe},
        {"Settings", "DefaultDir", "Tool", &S::defaultDir},        {"Settings", "Bitmap", "side.tga", &S::bitmap},
        {"Settings", "NoCopyExt", "ini|", &S::noCopyExt},          {"Settings", "IconID", "3", &S::iconId},
        {"Info", "Titel", "Tool", &S::titel},                      {"Info", "Version", "2.1", &S::version},
        {"Info", "GUID", "{ABC}", &S::guid},                       {"Info", "PrgSize", "3 MB", &S::prgSize},
        {"Info", "Web", "https://tool.example", &S::web},          {"Info", "Date", "2026-01-02", &S::date},
        {"Info", "Author", "Ann", &S::author},                     {"Info", "EMail", "ann@tool.example", &S::eMail},
        {"Task", "MutexString", "  ToolMutex  ", &S::mutexString, "ToolMutex"},
        {"Task", "Desktop", "1", &S::desktop},                     {"Task", "StartProg", "1", &S::startProg},
        {"Task", "Reboot", "1", &S::reboot},                       {"Task", "NoUninstall", "1", &S::noUninstall},
        {"Task", "StartMenu", "1", &S::startMenu},
        {"StartMenue", "DefaultDir", "Tools\\Tool", &S::startMenuDefaultDir},
        {"StartMenue", "ProgLink", "Tool link", &S::progLink},    {"StartMenue", "Help", "help.chm", &S::help},
        {"StartMenue", "URL", "https://x", &S::url},               {"StartMenue", "Exe", "bin\\b.exe", &S::exe},
        {"StartMenue", "Unistall", "1", &S::unistall},
    });
}

// Numbers keep their field's width; texts present but empty stay empty.
TEST(SetupSettings, NumbersKeepTheirFieldWidthAndEmptyTextsNoDefault) {
    expectFields({{"Settings", "IconID", "200", &S::iconId, "-56"}, {"Task", "StartProg", "256", &S::startProg, "0"},
                  {"Task", "Reboot", "257", &S::reboot, "1"}, {"Task", "StartMenu", "512", &S::startMenu, "0"},
                  {"Task", "Desktop", "70000", &S::desktop}, {"StartMenue", "Unistall", "256", &S::unistall, "0"},
                  {"Info", "Titel", "", &S::titel}, {"Settings", "Bitmap", "", &S::bitmap},
                  {"StartMenue", "ProgLink", "", &S::progLink}});
}

// Without a file; the shortcut name defaults to the author line, here the title alone.
TEST(SetupSettings, DefaultsForAbsentKeys) {
    expectFields({{"Info", "Titel", nullptr, &S::titel, "--- unkown ---"},
                  {"Settings", "Bitmap", nullptr, &S::bitmap, "splash.tga"},
                  {"Settings", "ProgExe", nullptr, &S::progExe, ""},
                  {"Task", "StartMenu", nullptr, &S::startMenu, "0"},
                  {"Settings", "IconID", nullptr, &S::iconId, "0"},
                  {"StartMenue", "ProgLink", nullptr, &S::progLink, "--- unkown ---"}});
}

TEST(ProgressLines, TitleAndAuthorLines) {
    SetupSettings settings;
    settings.titel = "Tool";
    EXPECT_EQ(titleLine(settings), "Tool");
    EXPECT_EQ(authorLine(settings), "Tool");
    settings.version = "1.2";
    settings.date = "May 2026";
    EXPECT_EQ(titleLine(settings), "Tool  -  Version 1.2   (May 2026)");
    settings.eMail = "a@b";
    EXPECT_EQ(authorLine(settings), "Tool  -  Version 1.2   (May 2026)   ( a@b )");
    settings.author = "Ann";
    EXPECT_EQ(authorLine(settings), "\xA9 Ann   ( a@b )");
}

TEST(DerivedValues, ProgramFolderNameAndExtension) {
    const std::pair<const char*, const char*> folders[] = {
        {"App", "App"}, {"D:\\Tools\\App\\", "App"}, {"C:\\Apps\\App", "App"}, {"%ProgramFiles%\\App", "\\App"},
        {"", ""},       {"%AppData%\\%x", "%x"} /* three "%": the last folder name */};
    for (const auto& [defaultDir, name] : folders) EXPECT_EQ(programFolderName(defaultDir), name) << defaultDir;
    // The extension as written, of the file name only.
    const std::pair<const char*, const char*> programs[] = {
        {"tool.EXE", "EXE"}, {"bin.d\\tool", ""}, {"my.tool.exe", "exe"}};
    for (const auto& [progExe, extension] : programs) {
        SetupSettings settings;
        settings.progExe = progExe;
        EXPECT_EQ(programExtension(settings), extension) << progExe;
    }
}

}  // namespace
}  // namespace brindle
