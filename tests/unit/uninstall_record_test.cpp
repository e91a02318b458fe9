#include <gtest/gtest.h>

#include "config/preference_file.h"
#include "temp_folder.h"
#include "toolkit/path_text.h"
#include "uninstall/command_line.h"
#include "uninstall/uninstall_record.h"

namespace brindle {
namespace {

constexpr char kFolder[] = "C:\\Apps\\Tool\\";

// The builder's template with what the installer adds, as an install leaves it.
constexpr char kInstalled[] =
    "; Brindle uninstall data\r\n[Settings]\r\nProgName = Tool\r\nVersion = 3.1\r\nNoDelAll = 1\r\n"
    "MutexString = ToolMutex\r\nProgDir = C:\\Apps\\Tool\\\r\nProgExe = tool.exe\r\nGUID = {G}\r\n"
    "ProgLink = Tool Link\r\nStartMenu = C:\\Menu\\Tool\\\r\nDesktopIcon = C:\\Desk\\Tool Link.lnk\r\n"
    "[Files]\r\nF001 = tool.exe\r\nF002 = docs\\manual.txt\r\n"
    "[Language]\r\nTitel = Remove $Titel\r\nMsg = $Titel goes.\r\nError = Stayed:\r\n"
    "Mutex = Close '$Titel' ($Titel)!|Then '$Titel' OK\r\n"
    "[StartMenu]\r\nProgram = C:\\Menu\\Tool\\Tool Link.lnk\r\nAddExe = C:\\Menu\\Tool\\.lnk\r\n"
    "Help = C:\\Menu\\Tool\\Help.lnk\r\nHomepage = C:\\Menu\\Tool\\Homepage.lnk\r\n"
    "Uninstall = C:\\Menu\\Tool\\Uninstall.lnk\r\n"
    "[UserTask]\r\nNumber = 2\r\nTask1 = C:\\Desk\\Site.lnk\r\nTask2 = 2147483649|Software\\Tool|Path\r\n"
    "[Written]\r\nFile1 = 0000000000000078|01D8A3C4B5E60000|C:\\Data\\a.txt\r\n"
    "Key1 = 2147483649|Software\\Tool\r\nIni1 = C:\\Apps\\Tool\\tool.ini|Paths|Home|file\r\n"
    "Link1 = C:\\Desk\\Old.lnk\r\nStartMenu1 = C:\\Menu\\Old\\\r\nAbove = C:\\Apps\\\r\n";

class UninstallRecordTest : public ::testing::Test {
protected:
    bool read(const std::string& content, const std::string& ownFolder = kFolder, const LongForm& longForm = {}) {
        return readUninstallRecord(file, (folder.path() / "uninstall.dat").string(), content, ownFolder, record,
                                   longForm);
    }

    test::TempFolder folder;
    PreferenceFile file;
    UninstallRecord record;
};

TEST_F(UninstallRecordTest, ReadsTheTemplateAndWhatTheInstallerAdded) {
    ASSERT_TRUE(read(kInstalled));
    EXPECT_EQ(record.progName, "Tool");
    EXPECT_EQ(record.version, "3.1");
    EXPECT_TRUE(record.noDelAll);
    EXPECT_EQ(record.mutexString, "ToolMutex");
    EXPECT_EQ(record.progDir, kFolder);
    EXPECT_EQ(record.progExe, "tool.exe");
    EXPECT_EQ(record.guid, "{G}");
    EXPECT_EQ(record.progLink, "Tool Link");
    EXPECT_EQ(record.startMenu, "C:\\Menu\\Tool\\");
    EXPECT_EQ(record.desktopIcon, "C:\\Desk\\Tool Link.lnk");
    EXPECT_EQ(record.files, (std::vector<std::string>{"tool.exe", "docs\\manual.txt"}));
    EXPECT_EQ(record.startMenuLinks.size(), 5u);
    EXPECT_EQ(record.startMenuLinks[1], "C:\\Menu\\Tool\\.lnk");
    EXPECT_EQ(record.taskRecords, (std::vector<std::string>{"C:\\Desk\\Site.lnk", "2147483649|Software\\Tool|Path"}));
    // The group Written.
    EXPECT_EQ(record.writtenFiles, std::vector<std::string>{"0000000000000078|01D8A3C4B5E60000|C:\\Data\\a.txt"});
    EXPECT_EQ(record.createdKeys, std::vector<std::string>{"2147483649|Software\\Tool"});
    EXPECT_EQ(record.iniValues, std::vector<std::string>{"C:\\Apps\\Tool\\tool.ini|Paths|Home|file"});
    EXPECT_EQ(record.earlierLinks, std::vector<std::string>{"C:\\Desk\\Old.lnk"});
    EXPECT_EQ(record.earlierStartMenus, std::vector<std::string>{"C:\\Menu\\Old\\"});
    EXPECT_EQ(record.madeAbove, "C:\\Apps\\");
    // The texts take the program name, and fall back to the defaults.
    const UninstallTexts& texts = record.texts;
    EXPECT_EQ(texts.titel, "Remove Tool");
    EXPECT_EQ(texts.msg, "Tool goes.");
    EXPECT_EQ(texts.error, "Stayed:");
    EXPECT_EQ(texts.uninstInfo, "Remove the following Program from your computer:");
    EXPECT_EQ(texts.ready, "Ready");
    // The warning's halves as written: the name goes in when it is shown.
    EXPECT_EQ(texts.runningFirstLine, "Close '$Titel' ($Titel)!");
    EXPECT_EQ(texts.runningSecondLine, "Then '$Titel' OK");
}

TEST_F(UninstallRecordTest, MissingNameAndTextsTakeTheDefaults) {
    ASSERT_TRUE(read("[Settings]\r\nProgDir = C:\\Apps\\Tool\\\r\nProgLink = Linked\r\n"));
    EXPECT_EQ(record.progName, "Linked");
    EXPECT_EQ(record.texts.runningFirstLine, "Close Program 'Linked' first!");  // the default, built with the name
    EXPECT_EQ(record.texts.runningSecondLine, "Then press OK!");
    EXPECT_FALSE(record.noDelAll);
}

// The lists end at the first gap, and the task list also at its count;
// file keys have three digits and more from F1000 on.
TEST_F(UninstallRecordTest, NumberedListsEndAtTheirFirstGap) {
    std::string files = "[Settings]\r\nProgDir = C:\\Apps\\Tool\\\r\n[Files]\r\n";
    for (int i = 1; i <= 1001; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "F%03d = f%d\r\n", i, i);
        files += line;
    }
    ASSERT_TRUE(read(files + "F1003 = after the gap\r\n"));
    ASSERT_EQ(record.files.size(), 1001u);
    EXPECT_EQ(record.files.back(), "f1001");

    const struct {
        const char* userTask;
        std::size_t records;
    } rows[] = {
        {"Number = 2\r\nTask1 = a\r\nTask2 = b\r\nTask3 = stale\r\n", 2},
        {"Number = 2147483647\r\nTask1 = a\r\nTask2 = b\r\n", 2},
        {"Number = 3\r\nTask1 = a\r\nTask3 = c\r\n", 1},
        {"Number = -1\r\nTask1 = a\r\n", 0},
        {"Task1 = a\r\n", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.userTask);
        ASSERT_TRUE(read(std::string("[Settings]\r\nProgDir = C:\\Apps\\Tool\\\r\n[UserTask]\r\n") + row.userTask));
        EXPECT_EQ(record.taskRecords.size(), row.records);
    }
}

// Data without a ProgDir, or for another folder than the uninstaller's
// own, belong to no installation it may remove. Any spelling of its own
// folder is its own, as earlier installers wrote "%ProgramFiles%\App" with
// two backslashes; the record then holds the folder in canonical form.
TEST_F(UninstallRecordTest, DataForAnotherFolderAreUnusable) {
    const LongForm longForm = [](const std::string& path) {
        return path == "C:\\APPS~1" ? std::string("C:\\Apps") : std::string();
    };
    for (const char* own : {"c:\\apps\\TOOL", "C:\\Apps\\\\Tool\\", "C:/Apps/Tool/", "C:\\Apps\\Tool\\..\\Tool\\",
                            "C:\\APPS~1\\Tool"}) {
        SCOPED_TRACE(own);
        EXPECT_TRUE(read(std::string("[Settings]\r\nProgDir = ") + own + "\r\n", kFolder, longForm));
        EXPECT_EQ(foldCase(record.progDir), "c:\\apps\\tool\\");
    }
    for (const char* settings : {"ProgDir = C:\\\r\n", "ProgDir = C:\\Apps\\\r\n", "ProgDir = \r\n", "ProgExe = x\r\n",
                                 "ProgDir = C:\\Apps\\Tool\\..\\Other\\\r\n", "ProgDir = Apps\\Tool\\\r\n"}) {
        SCOPED_TRACE(settings);
        EXPECT_FALSE(read(std::string("[Settings]\r\n") + settings));
    }
    EXPECT_FALSE(read(kInstalled, "C:\\Other\\"));
}

// A file record's size and time as the installer wrote them; a line that
// does not spell them so is no record.
TEST(WrittenFileRecord, SizeTimeAndPath) {
    const FileStamp stamp{120, 0x01D8A3C4B5E60000u};
    std::string path;
    FileStamp read;
    ASSERT_TRUE(readWrittenFileRecord(writtenFileRecord("C:\\Data\\a|b.txt", stamp), path, read));
    EXPECT_EQ(path, "C:\\Data\\a|b.txt");
    EXPECT_EQ(read, stamp);
    ASSERT_TRUE(readWrittenFileRecord("0000000000000078|01d8a3c4b5e60000|C:\\a", path, read));
    EXPECT_EQ(read, stamp);
    for (const char* line : {"120|133000000000000000|C:\\Data\\a.txt", "0000000000000078|01D8A3C4B5E60000|",
                             "000000000000007G|01D8A3C4B5E60000|C:\\a", "0000000000000078|01D8A3C4B5E6000|C:\\a",
                             "0000000000000078-01D8A3C4B5E60000|C:\\a", ""})
        EXPECT_FALSE(readWrittenFileRecord(line, path, read)) << line;
}

TEST(UninstallArguments, SilentAndTheCopysRemovalOfTheOriginal) {
    const struct {
        const char* line;
        bool silent, removeOriginal;
        std::uintptr_t process;
        const char* path;
        const char* madeAbove = "";
    } rows[] = {
        {"\"C:\\Program Files\\Tool\\Uninstall.exe\"", false, false, 0, ""},
        {"\"C:\\Program Files\\Tool\\Uninstall.exe\" /S", true, false, 0, ""},
        {"C:\\Tool\\Uninstall.exe /s /x", true, false, 0, ""},
        {"C:\\Tool\\Uninstall.exe /S", true, false, 0, ""},
        {"C:\\Tool\\Uninstall.exe/S", false, false, 0, ""},
        {"\"C:\\T\\Uninstall.exe\" /Remove 124 \"C:\\Program Files\\Tool\\Uninstall.exe\"", false, true, 124,
         "C:\\Program Files\\Tool\\Uninstall.exe"},
        {"x /remove 8 C:\\Tool\\", false, true, 8, "C:\\Tool\\"},
        {"x /Remove 8 \"C:\\Apps\\Tool\\Uninstall.exe\" \"C:\\Apps\\\"", false, true, 8, "C:\\Apps\\Tool\\Uninstall.exe",
         "C:\\Apps\\"},
        {"x /Remove 8 C:\\Tool\\Uninstall.exe /S", true, true, 8, "C:\\Tool\\Uninstall.exe"},
        {"x /Remove 0 C:\\Tool\\Uninstall.exe", false, false, 0, ""},
        {"x /Remove 12x C:\\Tool\\Uninstall.exe", false, false, 0, ""},
        {"x /Remove 12", false, false, 0, ""},
        {"x /Remove 12 \"\"", false, false, 0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const UninstallArguments arguments = parseArguments(row.line);
        EXPECT_EQ(arguments.silent, row.silent);
        EXPECT_EQ(arguments.removeOriginal, row.removeOriginal);
        if (row.removeOriginal) {
            EXPECT_EQ(arguments.originalProcess, row.process);
            EXPECT_EQ(arguments.originalPath, row.path);
            EXPECT_EQ(arguments.madeAbove, row.madeAbove);
        }
    }
}

}  // namespace
}  // namespace brindle
