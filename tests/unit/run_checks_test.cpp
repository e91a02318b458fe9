#include <gtest/gtest.h>

#include <tuple>

#include "config/language_texts.h"
#include "install/running_program.h"
#include "install/uninstall_entry.h"
#include "run/installed_program.h"
#include "run/run_ending.h"
#include "run/run_state.h"
#include "temp_folder.h"
#include "test_package.h"

namespace brindle {
namespace {

TEST(RunningProgram, UpperCaseFoldsAsciiAndTheHighLetterRange) {
    EXPECT_EQ(upperCaseName("tool-1.exe"), "TOOL-1.EXE");
    EXPECT_EQ(upperCaseName("\xE4\xF7\xFF\xC4\xDF"), "\xC4\xD7\xDF\xC4\xDF");
    EXPECT_EQ(upperCaseName("{|}`@"), "{|}`@");
}

// Latin-1 letters from 0xE0 fold onto their capitals 32 below.
TEST(RunningProgram, MatchesTheFileNameOfAProcessWholly) {
    const std::tuple<const char*, const char*, bool> rows[] = {
        {"C:\\Apps\\TOOL.EXE", "Tool.exe", true},       {"/opt/apps/tool.exe", "TOOL.exe", true},
        {"\"tool.exe\"", "tool.exe", true},             {"\"C:\\Apps\\tool.exe\" -x", "tool.exe", true},
        {"C:\\Apps\\tool.exe", "bin\\tool.exe", false}, {"C:\\Apps\\mytool.exe", "tool.exe", false},
        {"C:\\Apps\\tool.exe", "", false},             {"C:\\\xC4PP.EXE", "\xE4pp.exe", true}};
    for (const auto& [process, program, matches] : rows)
        EXPECT_EQ(isProgramProcess(process, program), matches) << process;
}

TEST(RunningProgram, WarningReplacesTheTitlePlaceholderInItsFirstLine) {
    const LanguageTexts defaults("Editor", "2");
    EXPECT_EQ(runningWarningText(defaults.get(Text::RequesterRQ4Msg), defaults.get(Text::RequesterRQ4Msg2), "Editor"),
              "Close Program 'Editor' first!\nThen press OK!");
    EXPECT_EQ(runningWarningText("Bitte '$Titel' schlie\xDF" "en ($Titel)", "Dann $Titel OK", "Editor"),
              "Bitte 'Editor' schlie\xDF" "en (Editor)\nDann $Titel OK");
}

UninstallEntryInputs toolEntry() {
    return {"", "Tool", "Tool", "3.1", "Ann", "https://tool.example/", "ann@tool.example", "C:\\Apps\\Tool\\",
            "tool.exe", 2049, "20260501"};
}

// The classic seven first, then what the list of installed programs shows
// and deployment tools read; numbers as numbers, the size in kilobytes
// rounded up.
TEST(UninstallEntry, KeyAndValuesInOrder) {
    UninstallEntryInputs entry = toolEntry();
    entry.version.clear();
    entry.web.clear();
    const std::vector<RegistryValue> values = uninstallEntryValues(entry);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"DisplayName", "Tool  "}, {"DisplayIcon", "C:\\Apps\\Tool\\tool.exe"}, {"Publisher", "Ann"},
        {"URLInfoAbout", ""}, {"HelpLink", ""}, {"Contact", "ann@tool.example"},
        {"UninstallString", "C:\\Apps\\Tool\\uninstall.exe"}, {"DisplayVersion", ""}, {"EstimatedSize", "#3"},
        {"InstallLocation", "C:\\Apps\\Tool\\"}, {"InstallDate", "20260501"}, {"NoModify", "#1"}, {"NoRepair", "#1"},
        {"QuietUninstallString", "C:\\Apps\\Tool\\uninstall.exe /S"}};
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].name, expected[i].first);
        EXPECT_EQ(values[i].isNumber ? "#" + std::to_string(values[i].number) : values[i].text, expected[i].second);
    }
    EXPECT_EQ(uninstallEntryKey(entry.guid, entry.progLink), "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool");
    // A GUID names the key; a folder with a blank is quoted.
    entry.guid = "{1234-AB}";
    entry.installDir = "C:\\Program Files\\Tool\\";
    EXPECT_EQ(uninstallEntryKey(entry.guid, entry.progLink),
              "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{1234-AB}");
    EXPECT_EQ(uninstallEntryValues(entry)[6].text, "\"C:\\Program Files\\Tool\\uninstall.exe\"");
    EXPECT_EQ(uninstallEntryValues(entry).back().text, "\"C:\\Program Files\\Tool\\uninstall.exe\" /S");
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

// The program started at the end must be the file setup.pck holds, reached
// without a link below the installation folder.
TEST(InstalledProgram, StartsOnlyTheFileOfThePackage) {
    const std::string program(3000, 'p');
    const struct {
        const char* what;
        test::FolderContents installed;
        const char* progExe;
        bool held;
    } rows[] = {
        {"as installed", {{"tool.exe", program}, {"bin/tool.exe", program}}, "tool.exe", true},
        {"in a folder", {{"bin/tool.exe", program}}, "bin\\tool.exe", true},
        {"named in another case than its entry", {{"Tool.exe", program}}, "Tool.exe", true},
        {"replaced", {{"tool.exe", program + "!"}}, "tool.exe", false},
        {"changed in place", {{"tool.exe", "q" + program.substr(1)}}, "tool.exe", false},
        {"the same bytes behind a link", {{"real/tool.exe", program}, {"bin@", "real"}}, "bin\\tool.exe", false},
        {"not from the package", {{"other.exe", program}}, "other.exe", false},
        {"missing", {}, "tool.exe", false},
        {"above the folder", {}, "..\\tool.exe", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        test::TempFolder work;
        const std::filesystem::path installation = work.path() / "Tool";
        test::writePackage(work.path() / "setup.pck", {test::fileItem("tool.exe", program),
                                                       test::fileItem("bin\\tool.exe", program),
                                                       test::fileItem("..\\tool.exe", program)});
        test::writeText(work.path() / "tool.exe", program);  // beside the installation folder
        std::filesystem::create_directory(installation);
        test::fill(installation, row.installed);
        InstalledProgram installed;
        EXPECT_EQ(installed.hold(installation.string() + "\\", row.progExe, (work.path() / "setup.pck").string()),
                  row.held);
    }
}

}  // namespace
}  // namespace brindle
