#include <gtest/gtest.h>

#include "config/preference_file.h"
#include "config/setup_settings.h"
#include "temp_folder.h"

namespace brindle {
namespace {

class SetupSettingsTest : public ::testing::Test {
protected:
    void write(const std::string& content) { test::writeBytes(folder.path() / "setup.ini", test::bytesOf(content)); }
    std::string path() const { return (folder.path() / "setup.ini").string(); }
    void readAll() {
        readStartupSettings(ini, path(), settings);
        readWizardSettings(ini, path(), settings);
        readInstallSettings(ini, path(), settings);
        readStartMenuSettings(ini, path(), settings);
    }

    test::TempFolder folder;
    PreferenceFile ini;
    SetupSettings settings;
};

TEST_F(SetupSettingsTest, DefaultsWithoutAFile) {
    readAll();
    EXPECT_EQ(settings.titel, "--- unkown ---");
    EXPECT_EQ(settings.bitmap, "splash.tga");
    EXPECT_EQ(settings.progExe, "");
    EXPECT_EQ(settings.startMenu, 0);
    EXPECT_EQ(settings.iconId, 0);
    // The shortcut name defaults to the author line, here the title alone.
    EXPECT_EQ(settings.progLink, "--- unkown ---");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "setup.ini"));
}

TEST_F(SetupSettingsTest, EveryKeyInItsGroup) {
    write("[Settings]\nLanguage=english.lng#9|\nProgExe=tool.exe\nDefaultDir=Tool\nBitmap=side.tga\n"
          "NoCopyExt=ini|\nIconID=3\n"
          "[Info]\nTitel=Tool\nVersion=2.1\nGUID={ABC}\nPrgSize=3 MB\nWeb=https://tool.example\n"
          "Date=2026-01-02\nAuthor=Ann\nEMail=ann@tool.example\n"
          "[Task]\nMutexString=  ToolMutex  \nDesktop=1\nStartProg=1\nReboot=0\nNoUninstall=1\nStartMenu=1\n"
          "[StartMenue]\nDefaultDir=Tools\\Tool\nProgLink=Tool link\nHelp=help.chm\nURL=https://x\nExe=bin\\b.exe\n"
          "Unistall=1\n");
    readAll();
    EXPECT_EQ(settings.language, "english.lng#9|");
    EXPECT_EQ(settings.progExe, "tool.exe");
    EXPECT_EQ(settings.titel, "Tool");
    EXPECT_EQ(settings.version, "2.1");
    EXPECT_EQ(settings.guid, "{ABC}");
    EXPECT_EQ(settings.prgSize, "3 MB");
    EXPECT_EQ(settings.mutexString, "ToolMutex");
    EXPECT_EQ(settings.web, "https://tool.example");
    EXPECT_EQ(settings.defaultDir, "Tool");
    EXPECT_EQ(settings.bitmap, "side.tga");
    EXPECT_EQ(settings.startMenuDefaultDir, "Tools\\Tool");
    EXPECT_EQ(settings.desktop, 1);
    EXPECT_EQ(settings.startProg, 1);
    EXPECT_EQ(settings.noUninstall, 1);
    EXPECT_EQ(settings.startMenu, 1);
    EXPECT_EQ(settings.date, "2026-01-02");
    EXPECT_EQ(settings.author, "Ann");
    EXPECT_EQ(settings.eMail, "ann@tool.example");
    EXPECT_EQ(settings.noCopyExt, "ini|");
    EXPECT_EQ(settings.iconId, 3);
    EXPECT_EQ(settings.progLink, "Tool link");
    EXPECT_EQ(settings.help, "help.chm");
    EXPECT_EQ(settings.url, "https://x");
    EXPECT_EQ(settings.exe, "bin\\b.exe");
    EXPECT_EQ(settings.unistall, 1);
}

TEST_F(SetupSettingsTest, NumbersKeepTheirFieldWidth) {
    write("[Settings]\nIconID=200\n[Task]\nStartProg=256\nReboot=257\nStartMenu=512\nDesktop=70000\n"
          "[StartMenue]\nUnistall=256\n");
    readAll();
    EXPECT_EQ(settings.iconId, -56);
    EXPECT_EQ(settings.startProg, 0);
    EXPECT_EQ(settings.reboot, 1);
    EXPECT_EQ(settings.startMenu, 0);
    EXPECT_EQ(settings.desktop, 70000);
    EXPECT_EQ(settings.unistall, 0);
}

TEST_F(SetupSettingsTest, PresentButEmptyIsNotTheDefault) {
    write("[Info]\nTitel=\n[Settings]\nBitmap=\n[StartMenue]\nProgLink=\n");
    readAll();
    EXPECT_EQ(settings.titel, "");
    EXPECT_EQ(settings.bitmap, "");
    EXPECT_EQ(settings.progLink, "");
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

TEST(DerivedValues, ProgramFolderName) {
    EXPECT_EQ(programFolderName("App"), "App");
    EXPECT_EQ(programFolderName("D:\\Tools\\App\\"), "App");
    EXPECT_EQ(programFolderName("C:\\Apps\\App"), "App");
    EXPECT_EQ(programFolderName("%ProgramFiles%\\App"), "\\App");
    EXPECT_EQ(programFolderName(""), "");
    EXPECT_EQ(programFolderName("%AppData%\\%x"), "%x");  // three "%": the last folder name
}

TEST(DerivedValues, ProgramExtensionIsExact) {
    SetupSettings settings;
    settings.progExe = "tool.EXE";
    EXPECT_EQ(programExtension(settings), "EXE");
    settings.progExe = "bin.d\\tool";
    EXPECT_EQ(programExtension(settings), "");
    settings.progExe = "my.tool.exe";
    EXPECT_EQ(programExtension(settings), "exe");
}

}  // namespace
}  // namespace brindle
