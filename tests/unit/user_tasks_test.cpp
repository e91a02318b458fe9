#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "config/preference_file.h"
#include "install/user_tasks.h"
#include "temp_folder.h"

namespace brindle {
namespace {

struct RecordingActions : UserTaskActions {
    void addProgressLine(const std::string& line) override { lines.push_back(line); }
    // Each link as a line: target, link file, working folder, icon file and index.
    bool createShortcut(const Shortcut& s) override {
        shortcuts.push_back(s.target + ", " + s.linkFile + ", " + s.workingFolder + ", " + s.iconFile + ", " +
                            std::to_string(s.iconIndex));
        return succeed;
    }
    CopyOutcome copyFile(const std::string& source, const std::string& target) override {
        copies.push_back(source + " > " + target);
        if (!succeed) return {false, FileResult::failure(EACCES)};
        return {kept.count(target) != 0, {}};
    }
    bool readFileStamp(const std::string& path, FileStamp& stamp) override {
        stamp = {path.size(), 7};
        return true;
    }
    bool registryKeyExists(std::uint32_t, const std::string& key) override { return existingKeys.count(key) != 0; }
    bool writeRegistryString(std::uint32_t root, const std::string& key, const std::string& name,
                             const std::string& text) override {
        registry.push_back(std::to_string(root) + " " + key + " " + name + " = " + text);
        return succeed;
    }
    bool succeed = true;
    std::set<std::string> kept, existingKeys{"Software"};
    std::vector<std::string> lines, shortcuts, copies, registry;
};

std::string testFolder(int code) {
    switch (code) {
        case kDesktopFolder: return "C:\\Desk\\";
        case kStartupFolder: return "C:\\Startup\\";
        case kSystemFolder: return "C:\\Windows\\System32\\";
        case kProgramFilesFolder: return "C:\\Programs\\";
        case kAppDataFolder: return "C:\\Data\\";
        default: return "";
    }
}

class UserTasksTest : public ::testing::Test {
protected:
    std::vector<std::string> run(const std::string& userTask, const std::string& startMenuDir = "C:\\Menu\\Tool\\",
                                 std::string installDir = {}) {
        test::writeText(folder.path() / "setup.ini", "[UserTask]\r\n" + userTask);
        if (installDir.empty()) installDir = folder.corePath();
        places = {folder.corePath() + "setup.ini", "C:\\Work\\", installDir, startMenuDir, testFolder};
        const UserTaskResult result = runUserTasks(ini, places, actions, "Create additional Links");
        allDone = result.allDone;
        made = result.made;
        return result.made.taskRecords;
    }

    test::TempFolder folder;
    PreferenceFile ini;
    UserTaskPlaces places;
    RecordingActions actions;
    InstallationRecords made;
    bool allDone = false;
};

// Which tasks run at all: the count (a 16-bit number; none means no line
// either), the start-menu folder, empty lines and unknown types.
TEST_F(UserTasksTest, TasksThatRunAndTheirRecords) {
    const struct {
        const char* userTask;
        const char* startMenuDir;
        std::vector<std::string> records;
        std::size_t lines, shortcuts;
    } rows[] = {
        {"Task1=0|A|a.exe\r\n", "C:\\Menu\\Tool\\", {}, 0, 0},
        {"Number=-1\r\nTask1=0|A|a.exe\r\n", "C:\\Menu\\Tool\\", {}, 1, 0},
        {"Number=40000\r\nTask1=0|A|a.exe\r\n", "C:\\Menu\\Tool\\", {}, 1, 0},
        {"Number=3\r\nTask1=1|Tool|tool.exe\r\nTask2=3|Site|https://x/\r\nTask3=0|Tool|tool.exe\r\n", "",
         {"C:\\Desk\\Tool.lnk"}, 1, 1},
        {"Number=5\r\nTask1=9|%System%x.dll|1\r\nTask2=\r\nTask3=7|x|y\r\nTask5=0|Last|l.exe\r\n", "C:\\Menu\\Tool\\",
         {"C:\\Desk\\Last.lnk"}, 1, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.userTask);
        actions = {};
        EXPECT_EQ(run(row.userTask, row.startMenuDir), row.records);
        EXPECT_EQ(actions.lines, std::vector<std::string>(row.lines, "Create additional Links"));
        EXPECT_EQ(actions.shortcuts.size(), row.shortcuts);
        EXPECT_TRUE(allDone);
    }
}

// Program shortcuts point into the installation folder with the target's own
// icon, web shortcuts at the address with the web icon; copies expand their
// folder; a registry root wraps to 32 bits and the text stays as written.
TEST_F(UserTasksTest, EachKindOfTaskAndItsRecord) {
    const auto records = run("Number=13\r\nTask1=0|Tool|bin\\tool.exe|3\r\nTask2=1|Tool.lnk|tool.exe|-1\r\n"
                             "Task3=4|Tool.LNK|tool.exe\r\nTask4=|Untyped|u.exe|x\r\n"
                             "Task5=2|Site|https://tool.example/\r\nTask6=3|Site|https://tool.example/\r\n"
                             "Task7=5|x.dll|x.dll|%System%\r\nTask8=5|a.txt|a.txt|%InstallDir%data\\\r\n"
                             "Task9=5|b.txt|b.txt|Shared\\\r\nTask10=5|c.txt|c.txt|%ProgDir%\r\n"
                             "Task11=5|d.txt|d.txt\r\nTask12=6|2147483649|Software\\Tool|Path|%ProgDir%\r\n"
                             "Task13=6|-2147483646|Software\\Tool|Empty\r\n",
                             "C:\\Menu\\Tool\\", "C:\\Apps\\Tool\\");
    EXPECT_EQ(records, (std::vector<std::string>{
                           "C:\\Desk\\Tool.lnk", "C:\\Menu\\Tool\\Tool.lnk", "C:\\Startup\\Tool.LNK.lnk",
                           "C:\\Desk\\Untyped.lnk", "C:\\Desk\\Site.lnk", "C:\\Menu\\Tool\\Site.lnk",
                           "C:\\Windows\\System32\\x.dll", "C:\\Apps\\Tool\\data\\a.txt", "C:\\Programs\\Shared\\b.txt",
                           "C:\\Apps\\Tool\\c.txt", "C:\\Apps\\Tool\\d.txt", "2147483649|Software\\Tool|Path",
                           "2147483650|Software\\Tool|Empty"}));
    EXPECT_EQ(actions.shortcuts,
              (std::vector<std::string>{
                  "C:\\Apps\\Tool\\bin\\tool.exe, C:\\Desk\\Tool.lnk, C:\\Apps\\Tool\\bin\\, |, 3",
                  "C:\\Apps\\Tool\\tool.exe, C:\\Menu\\Tool\\Tool.lnk, C:\\Apps\\Tool\\, |, -1",
                  "C:\\Apps\\Tool\\tool.exe, C:\\Startup\\Tool.LNK.lnk, C:\\Apps\\Tool\\, |, 0",
                  "C:\\Apps\\Tool\\u.exe, C:\\Desk\\Untyped.lnk, C:\\Apps\\Tool\\, |, 0",
                  "https://tool.example/, C:\\Desk\\Site.lnk, , C:\\WINDOWS\\system32\\url.dll, 0",
                  "https://tool.example/, C:\\Menu\\Tool\\Site.lnk, , C:\\WINDOWS\\system32\\url.dll, 0"}));
    EXPECT_EQ(actions.copies,
              (std::vector<std::string>{
                  "C:\\Work\\x.dll > C:\\Windows\\System32\\x.dll", "C:\\Work\\a.txt > C:\\Apps\\Tool\\data\\a.txt",
                  "C:\\Work\\b.txt > C:\\Programs\\Shared\\b.txt", "C:\\Work\\c.txt > C:\\Apps\\Tool\\c.txt",
                  "C:\\Work\\d.txt > C:\\Apps\\Tool\\d.txt"}));
    EXPECT_EQ(actions.registry, (std::vector<std::string>{"2147483649 Software\\Tool Path = %ProgDir%",
                                                          "2147483650 Software\\Tool Empty = "}));
}

// What the uninstaller needs beyond the records: the size and time of each
// copy written outside the installation folder, and the topmost key a
// registry task created. A copy the user declined, or one that failed,
// leaves no record: the file is not the installation's.
TEST_F(UserTasksTest, WhatTellsTheInstallationsWorkFromTheUsers) {
    actions.kept = {"C:\\Data\\kept.txt"};
    actions.existingKeys = {"Software", "Software\\Old"};
    const auto records = run("Number=7\r\nTask1=5|new.txt|new.txt|%AppData%\r\nTask2=5|kept.txt|kept.txt|%AppData%\r\n"
                             "Task3=5|inside.txt|inside.txt|%InstallDir%\r\n"
                             "Task4=6|2147483649|Software\\New\\Deep|A|1\r\nTask5=6|2147483649|Software\\New\\Deep|B|2\r\n"
                             "Task6=6|2147483649|Software\\Old\\Sub\\|C|3\r\nTask7=6|2147483649|Software\\Old|D|4\r\n",
                             "C:\\Menu\\Tool\\", "C:\\Apps\\Tool\\");
    EXPECT_EQ(records, (std::vector<std::string>{"C:\\Data\\new.txt", "C:\\Apps\\Tool\\inside.txt",
                                                 "2147483649|Software\\New\\Deep|A", "2147483649|Software\\New\\Deep|B",
                                                 "2147483649|Software\\Old\\Sub\\|C", "2147483649|Software\\Old|D"}));
    // The fake stamps a file by the length of its name.
    EXPECT_EQ(made.writtenFiles,
              std::vector<std::string>{"000000000000000F|0000000000000007|C:\\Data\\new.txt"});
    // The fake knows only the keys it was given: the second task into the
    // new key finds it missing again and names the same topmost key.
    EXPECT_EQ(made.createdKeys, (std::vector<std::string>{"2147483649|Software\\New", "2147483649|Software\\New",
                                                          "2147483649|Software\\Old\\Sub\\"}));
    EXPECT_TRUE(allDone);
}

// Ini values leave no task record, and the tasks after them still run. The
// group Written learns which values they added and what they made for them:
// a value that was there is not the installation's.
TEST_F(UserTasksTest, IniValuesAreExpandedAndRecordWhatTheyAdded) {
    test::writeText(folder.path() / "old.ini", "[Old]\r\nThere = 1\r\n");
    const auto records = run("Number=7\r\nTask1=8|tool.ini|Paths|Data|%AppData%Tool;%InstallDir%;%StartMenuDir%\r\n"
                             "Task2=8|tool.ini|Paths|Keep|%ProgDir%x\r\nTask3=8|tool.ini||Top|1\r\n"
                             "Task4=0|Added|a.exe\r\nTask5=8|old.ini|Old|There|2\r\nTask6=8|old.ini|Old|New|3\r\n"
                             "Task7=8|old.ini|Added|Key|4\r\n");
    EXPECT_EQ(records, std::vector<std::string>{"C:\\Desk\\Added.lnk"});
    EXPECT_TRUE(allDone);
    EXPECT_EQ(test::readText(folder.path() / "tool.ini"),
              "Top = 1\r\n[Paths]\r\nData = C:\\Data\\Tool;" + folder.corePath() +
                  ";C:\\Menu\\Tool\\\r\nKeep = %ProgDir%x\r\n");
    std::vector<std::string> added;
    for (const std::string& line : made.iniValues) added.push_back(line.substr(folder.corePath().size()));
    EXPECT_EQ(added, (std::vector<std::string>{"tool.ini|Paths|Data|file", "tool.ini|Paths|Keep|value",
                                               "tool.ini||Top|value", "old.ini|Old|New|value",
                                               "old.ini|Added|Key|group"}));
}

// A file that could not be written (a copy, an INI file in a folder that is
// not there) is named in the list with the system's reason; a failed copy
// leaves no record, as its file is not the installation's.
TEST_F(UserTasksTest, FailuresAreReportedAndTheRestStillRun) {
    actions.succeed = false;
    const auto records = run("Number=5\r\nTask1=0|A|a.exe\r\nTask2=2|W|https://x/\r\nTask3=5|x.dll|x.dll\r\n"
                             "Task4=8|none\\tool.ini|G|Key|1\r\nTask5=6|2147483649|Software\\Tool|Path|x\r\n");
    EXPECT_EQ(records.size(), 3u);
    EXPECT_TRUE(made.createdKeys.empty());
    EXPECT_TRUE(made.iniValues.empty());
    EXPECT_EQ(actions.shortcuts.size() + actions.copies.size() + actions.registry.size(), 4u);
    EXPECT_FALSE(allDone);
    EXPECT_EQ(actions.lines, (std::vector<std::string>{
                                 "Create additional Links", folder.corePath() + "x.dll: " + std::strerror(EACCES),
                                 folder.corePath() + "none\\tool.ini: " + std::strerror(ENOENT)}));
}

}  // namespace
}  // namespace brindle
