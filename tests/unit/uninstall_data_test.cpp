// uninstall.dat as the installer leaves it: with or without the builder's
// template, and whole or as before when the disk is full.
#include <gtest/gtest.h>

#include <cerrno>

#include "config/language_texts.h"
#include "config/preference_file.h"
#include "install/uninstall_data.h"
#include "temp_folder.h"

namespace brindle {
namespace {

class UninstallDataTest : public ::testing::Test {
protected:
    std::string written() const { return test::readText(folder.path() / "uninstall.dat"); }

    test::TempFolder folder;
    PreferenceFile file;
    LanguageTexts texts{"Tool", "1.0"};
    UninstallInputs inputs{folder.corePath(), "tool.exe", "{GUID}", "", "", "", "", {}};
};

TEST_F(UninstallDataTest, WithoutTemplateEveryGroupInOrder) {
    inputs.desktopLink = "C:\\Desktop\\Tool.lnk";
    inputs.taskRecords = {"C:\\Startup\\Tool.lnk", "2147483649|Software\\Tool|Path"};
    EXPECT_TRUE(writeUninstallData(file, inputs, texts));
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
    EXPECT_TRUE(writeUninstallData(file, inputs, texts));
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

TEST_F(UninstallDataTest, DiskFullLeavesTheFileAsBefore) {
    const test::FolderContents withTemplate = {{"uninstall.dat", "; template\r\n[Files]\r\nF001 = tool.exe\r\n"}};
    for (const test::FolderContents& before : {test::FolderContents{}, withTemplate}) {
        SCOPED_TRACE(before.empty() ? "no template" : "template");
        test::fill(folder.path(), before);
        FileResult written;
        {
            test::FileSizeLimit limit(100);
            written = writeUninstallData(file, inputs, texts);
        }
        EXPECT_EQ(written.error(), std::uint32_t(EFBIG));
        EXPECT_EQ(test::contentsOf(folder.path()), before);
    }
}

}  // namespace
}  // namespace brindle
