#include <gtest/gtest.h>

#include "config/language_texts.h"
#include "config/preference_file.h"
#include "install/uninstall_entry.h"
#include "run/run_ending.h"
#include "run/run_state.h"
#include "run/running_program.h"
#include "temp_folder.h"

namespace brindle {
namespace {

TEST(RunningProgram, UpperCaseFoldsAsciiAndTheHighLetterRange) {
    EXPECT_EQ(upperCaseName("tool-1.exe"), "TOOL-1.EXE");
    EXPECT_EQ(upperCaseName("\xE4\xF7\xFF\xC4\xDF"), "\xC4\xD7\xDF\xC4\xDF");
    EXPECT_EQ(upperCaseName("{|}`@"), "{|}`@");
}

TEST(RunningProgram, MatchesTheFileNameOfAProcessWholly) {
    EXPECT_TRUE(isProgramProcess("C:\\Apps\\TOOL.EXE", "Tool.exe"));
    EXPECT_TRUE(isProgramProcess("/opt/apps/tool.exe", "TOOL.exe"));
    EXPECT_TRUE(isProgramProcess("\"tool.exe\"", "tool.exe"));
    EXPECT_TRUE(isProgramProcess("\"C:\\Apps\\tool.exe\" -x", "tool.exe"));
    EXPECT_FALSE(isProgramProcess("C:\\Apps\\tool.exe", "bin\\tool.exe"));
    EXPECT_FALSE(isProgramProcess("C:\\Apps\\mytool.exe", "tool.exe"));
    EXPECT_FALSE(isProgramProcess("C:\\Apps\\tool.exe", ""));
    // Latin-1 letters from 0xE0 fold onto their capitals 32 below.
    EXPECT_TRUE(isProgramProcess("C:\\\xC4PP.EXE", "\xE4pp.exe"));
}

TEST(RunningProgram, WarningReplacesTheTitlePlaceholder) {
    LanguageTexts defaults("Editor", "2");
    EXPECT_EQ(runningWarningText(defaults, "Editor"), "Close Program 'Editor' first!\nThen press OK!");

    test::TempFolder folder;
    test::writeBytes(folder.path() / "de.lng", test::bytesOf(
                    "[Requester]\r\nRQ4_Msg=Bitte '$Titel' schlie\xDF" "en ($Titel)\r\nRQ4_Msg2=Dann OK\r\n"));
    LanguageTexts loaded("Editor", "2");
    PreferenceFile ini;
    loaded.load(ini, (folder.path() / "de.lng").string());
    EXPECT_EQ(runningWarningText(loaded, "Editor"), "Bitte 'Editor' schlie\xDF" "en (Editor)\nDann OK");
}

UninstallEntryInputs toolEntry() {
    return {"", "Tool", "Tool", "3.1", "Ann", "https://tool.example/", "ann@tool.example", "C:\\Apps\\Tool\\",
            "tool.exe"};
}

TEST(UninstallEntry, KeyIsTheGuidElseTheLinkName) {
    UninstallEntryInputs entry = toolEntry();
    EXPECT_EQ(uninstallEntryKey(entry), "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool");
    entry.guid = "{1234-AB}";
    EXPECT_EQ(uninstallEntryKey(entry), "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{1234-AB}");
}

TEST(UninstallEntry, SevenValuesInOrder) {
    UninstallEntryInputs entry = toolEntry();
    entry.version.clear();
    entry.web.clear();
    const std::vector<RegistryValue> values = uninstallEntryValues(entry);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"DisplayName", "Tool  "}, {"DisplayIcon", "C:\\Apps\\Tool\\tool.exe"}, {"Publisher", "Ann"},
        {"URLInfoAbout", ""}, {"HelpLink", ""}, {"Contact", "ann@tool.example"},
        {"UninstallString", "C:\\Apps\\Tool\\uninstall.exe"}};
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].name, expected[i].first);
        EXPECT_EQ(values[i].text, expected[i].second);
    }
}

TEST(UninstallEntry, CommandWithABlankIsQuoted) {
    EXPECT_EQ(uninstallCommand("C:\\Program Files\\Tool\\"), "\"C:\\Program Files\\Tool\\uninstall.exe\"");
    EXPECT_EQ(uninstallCommand("C:\\Apps\\Tool\\"), "C:\\Apps\\Tool\\uninstall.exe");
}

TEST(RunEnding, RestartOrProgramStartOnlyAfterAnInstallOfThisRun) {
    struct Case {
        const char* installDir;
        bool reboot, startProgram, programExists;
        RunEnding expected;
    } cases[] = {
        // A close request or Cancel before Install: a ProgExe in the current
        // folder is never started, and nothing asks for a restart.
        {"", false, true, true, RunEnding::Nothing},
        {"", true, false, true, RunEnding::Nothing},
        {"C:\\Apps\\Tool\\", true, true, true, RunEnding::RestartPrompt},
        {"C:\\Apps\\Tool\\", false, true, true, RunEnding::StartProgram},
        {"C:\\Apps\\Tool\\", false, true, false, RunEnding::Nothing},
        {"C:\\Apps\\Tool\\", false, false, true, RunEnding::Nothing},
    };
    for (const Case& c : cases) {
        RunState run;
        run.installDir = c.installDir;
        run.reboot = c.reboot;
        run.startProgram = c.startProgram;
        EXPECT_EQ(runEnding(run, c.programExists), c.expected)
            << "installDir=" << c.installDir << " reboot=" << c.reboot << " start=" << c.startProgram;
    }
}

}  // namespace
}  // namespace brindle
