#include <gtest/gtest.h>

#include "run/log_lines.h"
#include "run/run_ending.h"
#include "run/run_state.h"
#include "run/setup_arguments.h"
#include "toolkit/command_words.h"

namespace brindle {
namespace {

// Each line with what it asks for; `wrong` lists the words refused.
TEST(SetupArguments, ReadsTheSwitchesAndTakesTheRestOfTheLineAsTheFolder) {
    const struct {
        const char* line;
        bool silent, noIcons, force, help;
        std::uint16_t language;
        const char* installDir;
        const char* logFile;
        std::vector<std::string> wrong;
    } rows[] = {
        {"", false, false, false, false, 0, "", "", {}},
        {"/S", true, false, false, false, 0, "", "", {}},
        {"  /s\t/noIcons /FoRcE ", true, true, true, false, 0, "", "", {}},
        {"/?", false, false, false, true, 0, "", "", {}},
        {"/HELP", false, false, false, true, 0, "", "", {}},
        {"/S /D=C:\\Program Files\\My Tool", true, false, false, false, 0, "C:\\Program Files\\My Tool", "", {}},
        // Whatever follows /D= is the folder's, a switch and quotes included.
        {"/S /d=C:\\Apps\\Tool /NOICONS  ", true, false, false, false, 0, "C:\\Apps\\Tool /NOICONS", "", {}},
        {"/D=\"C:\\A B\"", false, false, false, false, 0, "\"C:\\A B\"", "", {}},
        {"/D=", false, false, false, false, 0, "", "", {"/D="}},
        {"/D=   ", false, false, false, false, 0, "", "", {"/D="}},
        // Only a word that begins with /D= starts the folder.
        {"/LOG=x/D=y", false, false, false, false, 0, "", "x/D=y", {}},
        {"/LANG=7 /LOG=\"C:\\My Logs\\setup.log\"", false, false, false, false, 7, "", "C:\\My Logs\\setup.log", {}},
        {"/lang=511", false, false, false, false, 511, "", "", {}},
        {"/LANG=512 /LANG=0 /LANG= /LANG=7x /LANG=-7 /LANG", false, false, false, false, 0, "", "",
         {"/LANG=512", "/LANG=0", "/LANG=", "/LANG=7x", "/LANG=-7", "/LANG"}},
        {"/LOG= /LOG", false, false, false, false, 0, "", "", {"/LOG=", "/LOG"}},
        {"/S /SILENT -S S /D", true, false, false, false, 0, "", "", {"/SILENT", "-S", "S", "/D"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const SetupArguments arguments = parseSetupArguments(row.line);
        EXPECT_EQ(arguments.silent, row.silent);
        EXPECT_EQ(arguments.noIcons, row.noIcons);
        EXPECT_EQ(arguments.force, row.force);
        EXPECT_EQ(arguments.help, row.help);
        EXPECT_EQ(arguments.language, row.language);
        EXPECT_EQ(arguments.installDir, row.installDir);
        EXPECT_EQ(arguments.logFile, row.logFile);
        EXPECT_EQ(arguments.wrong, row.wrong);
        EXPECT_EQ(arguments.usable(), row.wrong.empty());
    }
}

// The program's own name, quoted or not, and the blanks after it are not
// the program's arguments; a quote left open runs to the end of the line.
TEST(SetupArguments, AreTheCommandLineAfterTheProgramsName) {
    const struct {
        const char* line;
        const char* arguments;
    } rows[] = {
        {"setup.exe", ""},
        {"setup.exe\t /S ", "/S "},
        {"  C:\\Setup.exe /S", "/S"},
        {"\"C:\\My Files\\setup.exe\"  /D=C:\\A B", "/D=C:\\A B"},
        {"\"C:\\My Files\\setup.exe\"/S /NOICONS", "/NOICONS"},
        {"\"C:\\My Files\\setup.exe /S", ""},
        {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(argumentsOf(row.line), row.arguments);
    }
}

// The install step decides, whichever way the run ended after it; a run
// that never reached it was cancelled. A failure outranks the restart.
TEST(RunOutcome, ExitCodesFollowTheInstallStepAndTheRestart) {
    const struct {
        InstallStep step;
        bool reboot;
        RunOutcome outcome;
        unsigned code;
    } rows[] = {
        {InstallStep::NotRun, false, RunOutcome::Cancelled, 1},
        {InstallStep::NotRun, true, RunOutcome::Cancelled, 1},
        {InstallStep::Completed, false, RunOutcome::Installed, 0},
        {InstallStep::Completed, true, RunOutcome::RestartNeeded, 3010},
        {InstallStep::Failed, false, RunOutcome::InstallFailed, 4},
        {InstallStep::Failed, true, RunOutcome::InstallFailed, 4},
    };
    for (const auto& row : rows) {
        RunState run;
        run.installStep = row.step;
        run.reboot = row.reboot;
        EXPECT_EQ(installOutcome(run), row.outcome) << int(row.step) << " reboot=" << row.reboot;
        EXPECT_EQ(exitCodeOf(installOutcome(run)), row.code);
    }
    EXPECT_EQ(exitCodeOf(RunOutcome::CouldNotRun), 2u);
    EXPECT_EQ(exitCodeOf(RunOutcome::ProgramRunning), 3u);
    EXPECT_EQ(exitCodeOf(RunOutcome::HelpShown), 0u);
}

TEST(LogLines, EveryFileAndFailureWithItsCause) {
    EXPECT_EQ(fileLogLine("C:\\T\\a.exe", ExtractOutcome::Written), "written: C:\\T\\a.exe");
    EXPECT_EQ(fileLogLine("C:\\T\\a.ini", ExtractOutcome::Kept), "kept: C:\\T\\a.ini");
    EXPECT_EQ(fileLogLine("T:\\App\\big.bin", ExtractOutcome::NoSpace),
              "not written: T:\\App\\big.bin: not enough space on the drive");
    EXPECT_EQ(fileLogLine("C:\\T\\x", ExtractOutcome::WriteFailed, "Access denied. (5)"),
              "not written: C:\\T\\x: it could not be written: Access denied. (5)");
    EXPECT_EQ(fileLogLine("C:\\T\\held.txt", ExtractOutcome::TimesFailed, "Access denied. (5)"),
              "written without its times: C:\\T\\held.txt: Access denied. (5)");
    EXPECT_EQ(failureLogLine("C:\\Desk\\Tool.lnk", "Access denied. (5)"), "failed: C:\\Desk\\Tool.lnk: Access denied. (5)");
    EXPECT_EQ(failureLogLine("C:\\Desk\\Tool.lnk", ""), "failed: C:\\Desk\\Tool.lnk");
    EXPECT_EQ(exitLogLine(3010), "exit code: 3010");
}

}  // namespace
}  // namespace brindle
