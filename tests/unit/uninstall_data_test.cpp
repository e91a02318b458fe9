// uninstall.dat as the installer leaves it: with or without the builder's
// template, merged with an earlier installation's, and whole or as before
// when the disk is full.
#include <gtest/gtest.h>

#include <cerrno>

#include "config/language_texts.h"
#include "config/preference_file.h"
#include "install/uninstall_data.h"
#include "temp_folder.h"
#include "toolkit/registry.h"

namespace brindle {
namespace {

class UninstallDataTest : public ::testing::Test {
protected:
    std::string written() const { return test::readText(folder.path() / "uninstall.dat"); }
    bool write() {
        std::string content;
        const bool done = bool(writeUninstallData(file, inputs, texts, content));
        EXPECT_EQ(content, done ? written() : content);
        return done;
    }
    InstallationRecords readBack() {
        InstallationRecords records;
        file.open(folder.corePath() + "uninstall.dat");
        readInstallationRecords(file, records);
        file.close();
        return records;
    }

    test::TempFolder folder;
    PreferenceFile file;
    LanguageTexts texts{"Tool", "1.0"};
    UninstallInputs inputs{folder.corePath(), "tool.exe", "{GUID}", "", "", "", "", {}, {}, {}};
};

TEST_F(UninstallDataTest, WithoutTemplateEveryGroupInOrder) {
    inputs.desktopLink = "C:\\Desktop\\Tool.lnk";
    inputs.made.taskRecords = {"C:\\Startup\\Tool.lnk", "2147483649|Software\\Tool|Path"};
    EXPECT_TRUE(write());
    const std::string dir = folder.corePath();
    EXPECT_EQ(written(),
              "[Settings]\r\nProgDir = " + dir + "\r\nProgExe = tool.exe\r\nGUID = {GUID}\r\nProgLink = tool\r\n"
              "StartMenu = \r\nDesktopIcon = C:\\Desktop\\Tool.lnk\r\n"
              "[Language]\r\nTitel = uninstall Program\r\n"
              "Msg = Program files And registry entries will be removed.\r\n"
              "UninstInfo = Remove the following Program from your computer:\r\n"
              "DelAll = Delete all(!) files in the directory (including user files).\r\n"
              "Error = Uninstalling Program Not possible.\r\n"
              "Mutex = Close Program 'Tool' first!|Then press OK!\r\n"
              "Status = Uninstalling completed.\r\nOK = OK\r\nCancel = Cancel\r\nReady = Ready\r\n"
              "Kept = Kept, as changed since the installation:\r\n"
              "Changed = Left, as uninstall.dat was changed since the installation:\r\n"
              "[StartMenu]\r\nProgram = tool.lnk\r\nAddExe = .lnk\r\nHelp = Help.lnk\r\n"
              "Homepage = Homepage.lnk\r\nUninstall = Uninstall.lnk\r\n"
              "[UserTask]\r\nNumber = 2\r\nTask1 = C:\\Startup\\Tool.lnk\r\n"
              "Task2 = 2147483649|Software\\Tool|Path\r\n");
}

TEST_F(UninstallDataTest, TemplateKeysStayAndNewOnesFollowThem) {
    test::writeText(folder.path() / "uninstall.dat", "; made by the builder\r\n[Settings]\r\nProgName=Tool\r\n"
                                                     "ProgDir=C:\\Old\\\r\n[Files]\r\nF001=tool.exe\r\n");
    inputs.progLink = "Tool Link";
    inputs.startMenuDir = "C:\\Menu\\Tool\\";
    inputs.exe = "\"bin\\helper.app.exe";
    EXPECT_TRUE(write());
    const std::string text = written();
    EXPECT_EQ(text.rfind("; made by the builder\r\n[Settings]\r\nProgName = Tool\r\nProgDir = " + folder.corePath() +
                             "\r\nProgExe = tool.exe\r\n",
                         0),
              0u);
    const std::size_t files = text.find("[Files]\r\nF001 = tool.exe\r\n[Language]\r\n");
    EXPECT_NE(files, std::string::npos);
    EXPECT_LT(text.find("DesktopIcon = \r\n"), files);
    EXPECT_NE(text.find("Program = C:\\Menu\\Tool\\Tool Link.lnk\r\nAddExe = C:\\Menu\\Tool\\helper.lnk\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("[UserTask]\r\nNumber = 0\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Task1"), std::string::npos);
}

// An installation over an earlier one of the same application keeps that
// one's records, each once: the files this version no longer ships, the
// tasks only it ran, its links and start-menu folder where this one's
// differ, and what it created first. Files this run kept from before are
// not its own, unless the earlier installation wrote them.
TEST_F(UninstallDataTest, AnUpgradeCarriesTheEarlierRecordsOn) {
    test::writeText(folder.path() / "uninstall.dat",
                    "[Settings]\r\nProgName = Tool\r\n[Files]\r\nF001 = tool.exe\r\nF002 = new.dll\r\n"
                    "F003 = user.ini\r\nF004 = tool.ini\r\n");
    inputs.startMenuDir = "C:\\Menu\\Tool 2\\";
    inputs.desktopLink = "C:\\Desk\\Tool.lnk";
    inputs.keptFiles = {"USER.ini", "tool.ini"};
    inputs.made.taskRecords = {"C:\\Data\\Welcome.rtf", "2147483649|Software\\Tool|B"};
    inputs.made.writtenFiles = {writtenFileRecord("C:\\Data\\Welcome.rtf", {9, 2})};
    inputs.made.createdKeys = {"2147483649|Software\\Tool\\Sub"};
    inputs.made.iniValues = {"C:\\Apps\\Tool\\tool.ini|Paths|Home|value"};
    InstallationRecords& earlier = inputs.earlier;
    earlier.files = {"tool.exe", "old.dll", "sub/gone.txt", "tool.ini"};
    earlier.startMenu = "C:\\Menu\\Tool\\";
    earlier.startMenuLinks = {"C:\\Menu\\Tool\\tool.lnk", "", "", "", "C:\\Menu\\Tool\\Uninstall.lnk"};
    earlier.desktopIcon = "C:\\DESK\\tool.lnk";
    earlier.taskRecords = {"C:\\Data\\Old.txt", "2147483649|SOFTWARE\\Tool|B", "2147483649|Software\\Tool|A"};
    earlier.writtenFiles = {writtenFileRecord("C:\\DATA\\Welcome.rtf", {5, 1}),
                            writtenFileRecord("C:\\Data\\Old.txt", {3, 1})};
    earlier.createdKeys = {"2147483649|Software\\Tool"};
    earlier.iniValues = {"C:\\Apps\\Tool\\tool.ini|Paths|HOME|file"};
    earlier.earlierLinks = {"C:\\Desk\\Tool 1.lnk"};
    earlier.earlierStartMenus = {"C:\\Menu\\Tool 0\\"};
    earlier.madeAbove = "C:\\Apps\\";
    EXPECT_TRUE(write());
    const InstallationRecords merged = readBack();
    EXPECT_EQ(merged.files, (std::vector<std::string>{"tool.exe", "new.dll", "old.dll", "sub/gone.txt", "tool.ini"}));
    EXPECT_EQ(merged.startMenu, "C:\\Menu\\Tool 2\\");
    EXPECT_EQ(merged.taskRecords, (std::vector<std::string>{"C:\\Data\\Welcome.rtf", "2147483649|Software\\Tool|B",
                                                           "C:\\Data\\Old.txt", "2147483649|Software\\Tool|A"}));
    // Written again now, the copy's record is this run's.
    EXPECT_EQ(merged.writtenFiles, (std::vector<std::string>{inputs.made.writtenFiles[0], earlier.writtenFiles[1]}));
    EXPECT_EQ(merged.createdKeys,
              (std::vector<std::string>{"2147483649|Software\\Tool", "2147483649|Software\\Tool\\Sub"}));
    // The earlier installation made the INI file.
    EXPECT_EQ(merged.iniValues, earlier.iniValues);
    EXPECT_EQ(merged.earlierLinks, (std::vector<std::string>{"C:\\Menu\\Tool\\tool.lnk",
                                                            "C:\\Menu\\Tool\\Uninstall.lnk", "C:\\Desk\\Tool 1.lnk"}));
    EXPECT_EQ(merged.earlierStartMenus, (std::vector<std::string>{"C:\\Menu\\Tool\\", "C:\\Menu\\Tool 0\\"}));
    EXPECT_EQ(merged.madeAbove, "C:\\Apps\\");
    EXPECT_NE(written().find("[Written]\r\nFile1 = 0000000000000009|0000000000000002|C:\\Data\\Welcome.rtf\r\n"),
              std::string::npos);
}

// The same installation again over itself changes nothing of the record, and
// a list that shrank leaves no stale keys behind.
TEST_F(UninstallDataTest, ARepeatedInstallLeavesTheSameRecord) {
    test::writeText(folder.path() / "uninstall.dat", "[Files]\r\nF001 = tool.exe\r\nF002 = b.txt\r\n");
    inputs.made.taskRecords = {"C:\\Data\\a.txt", "C:\\Data\\b.txt"};
    inputs.made.writtenFiles = {writtenFileRecord("C:\\Data\\a.txt", {1, 1}),
                                writtenFileRecord("C:\\Data\\b.txt", {1, 1})};
    inputs.made.madeAbove = "C:\\Apps\\";
    inputs.made.registryView = kRegistryView64;
    EXPECT_TRUE(write());
    const std::string first = written();
    inputs.earlier = readBack();
    EXPECT_EQ(inputs.earlier.registryView, kRegistryView64);
    inputs.made.madeAbove.clear();  // the folder is there the second time
    EXPECT_TRUE(write());
    EXPECT_EQ(written(), first);

    inputs.keptFiles = {"b.txt"};
    inputs.made.taskRecords.pop_back();
    inputs.made.writtenFiles.pop_back();
    inputs.earlier = {};
    inputs.made.registryView = 0;
    EXPECT_TRUE(write());
    const InstallationRecords shrunk = readBack();
    EXPECT_EQ(shrunk.registryView, 0u);
    EXPECT_EQ(written().find("RegistryView"), std::string::npos);
    EXPECT_EQ(shrunk.files, std::vector<std::string>{"tool.exe"});
    EXPECT_EQ(shrunk.taskRecords.size(), 1u);
    EXPECT_EQ(written().find("F002"), std::string::npos);
    EXPECT_EQ(written().find("File2"), std::string::npos);
    EXPECT_EQ(written().find("Above"), std::string::npos);
}

TEST_F(UninstallDataTest, DiskFullLeavesTheFileAsBefore) {
    const test::FolderContents withTemplate = {{"uninstall.dat", "; template\r\n[Files]\r\nF001 = tool.exe\r\n"}};
    for (const test::FolderContents& before : {test::FolderContents{}, withTemplate}) {
        SCOPED_TRACE(before.empty() ? "no template" : "template");
        test::fill(folder.path(), before);
        FileResult written;
        {
            test::FileSizeLimit limit(100);
            std::string content;
            written = writeUninstallData(file, inputs, texts, content);
        }
        EXPECT_EQ(written.error(), std::uint32_t(EFBIG));
        EXPECT_EQ(test::contentsOf(folder.path()), before);
    }
}

}  // namespace
}  // namespace brindle
