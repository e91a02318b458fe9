#include <gtest/gtest.h>

#include <map>
#include <set>

#include "config/language_texts.h"
#include "config/path_macros.h"
#include "config/preference_file.h"
#include "config/setup_settings.h"
#include "install/install_actions.h"
#include "install/install_step.h"
#include "install/install_view.h"
#include "install/progress_lines.h"
#include "install/uninstall_data.h"
#include "temp_folder.h"

namespace brindle {
namespace {

constexpr char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\G1";

struct FakePage : InstallView {
    std::string installFolder() const override { return folder; }
    std::string startMenuFolder() const override { return "Tool"; }
    bool desktopIconWanted() const override { return true; }
    void showProgress(const std::string& text) override { status = text; }
    int addLine(const std::string& line) override {
        lines.push_back(line);
        return int(lines.size()) - 1;
    }
    void replaceLine(int index, const std::string& line) override { lines.at(std::size_t(index)) = line; }
    bool confirmReplace(const std::string&, const std::string& current) override {
        asked.push_back(current);
        return replace;
    }
    void showFinished(const std::string&, const std::string& text) override { status = text; }

    std::string folder = "C:\\Apps\\Tool";
    bool replace = false;
    std::string status;
    std::vector<std::string> lines, asked;
};

// Records every operation; `failing` names the ones that fail.
struct FakeSystem : InstallActions {
    std::string folderPath(int code) override { return code == kDesktopFolder ? "C:\\Desk\\" : "C:\\Menu\\"; }
    void announceInstallDir(const std::string&) override {}
    std::string today() override { return "20260501"; }
    bool exists(const std::string& path) override { return existing.count(path) != 0; }
    bool createFolderChain(const std::string& folder) override { return did("folder " + folder); }
    bool createInstallFolder(const std::string& folder) override { return did("install-folder " + folder); }
    bool extractPackage(const std::string& package, const std::string& destination, const std::string&,
                        std::vector<PackageEntry>& entries, std::vector<ExtractOutcome>& outcomes) override {
        if (failing.count("package")) return false;
        entries = {{"tool.exe", kFileEntry, 3000}, {"docs\\", kFolderEntry}, {"data.bin", kFileEntry, 2000}};
        outcomes = {ExtractOutcome::Written, ExtractOutcome::FolderMade,
                    failing.count("file") ? ExtractOutcome::WriteFailed : ExtractOutcome::Kept};
        return did("extract " + package.substr(package.rfind('\\') + 1) + " > " + destination);
    }
    bool copyFile(const std::string&, const std::string& target) override { return did("copy " + target); }
    bool createShortcut(const Shortcut& shortcut) override { return did("link " + shortcut.linkFile); }
    bool writeRegistryStrings(std::uint32_t root, const std::string& key,
                              const std::vector<RegistryValue>& values) override {
        written[key] = values;
        return did("registry " + std::to_string(root) + " " + key);
    }
    bool writeUninstallData(const UninstallInputs& inputs, const LanguageTexts&) override {
        return did("uninstall.dat " + std::to_string(inputs.taskRecords.size()));
    }

    bool did(const std::string& what) {
        done.push_back(what);
        return failing.count(what.substr(0, what.find(' '))) == 0;
    }
    std::set<std::string> failing, existing;
    std::vector<std::string> done;
    std::map<std::string, std::vector<RegistryValue>> written;
};

class InstallStepTest : public ::testing::Test {
protected:
    InstallResult install() {
        test::writeBytes(work.path() / "setup.ini",
                         test::bytesOf("[Settings]\r\nProgExe=tool.exe\r\n[Info]\r\nTitel=Tool\r\nGUID=G1\r\n"
                                       "[Task]\r\nStartMenu=1\r\n[StartMenue]\r\nProgLink=Tool\r\nUnistall=1\r\n"
                                       "[UserTask]\r\nNumber=1\r\nTask1=5|x.txt|x.txt\r\n"));
        settings = {};
        readStartupSettings(ini, work.corePath() + "setup.ini", settings);
        readWizardSettings(ini, work.corePath() + "setup.ini", settings);
        return runInstall(work.corePath(), ini, settings, texts, page, system);
    }

    test::TempFolder work;
    PreferenceFile ini;
    SetupSettings settings;
    LanguageTexts texts{"Tool", "1.0"};
    FakePage page;
    FakeSystem system;
};

// Every step in order when all goes well. Each failure shows in the status
// line, and the steps after it still run (the uninstaller needs its entry and
// uninstall.dat all the more). The entry's size is what the copy wrote or
// kept, in kilobytes rounded up.
TEST_F(InstallStepTest, EveryStepRunsAndAFailedOneIsNeverReportedAsSuccess) {
    const std::vector<std::string> everyStep = {
        "install-folder C:\\Apps\\Tool\\", "extract setup.pck > C:\\Apps\\Tool\\",
        "registry 2147483650 " + std::string(kEntryKey),
        "link C:\\Desk\\Tool.lnk", "folder C:\\Menu\\Tool\\", "link C:\\Menu\\Tool\\Tool.lnk",
        "link C:\\Menu\\Tool\\Uninstall.lnk", "registry 2147483649 SOFTWARE\\Brindle\\G1",
        "copy C:\\Apps\\Tool\\x.txt", "uninstall.dat 1"};
    const struct {
        const char* failing;
        bool completed, copyLineFails;
        std::uint32_t kilobytes;
    } rows[] = {{"", true, false, 5},           {"package", false, true, 0},  {"file", false, true, 3},
                {"install-folder", false, true, 0}, {"folder", false, false, 5}, {"registry", false, false, 5},
                {"link", false, false, 5},
                {"copy", false, false, 5},      {"uninstall.dat", false, false, 5}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.failing);
        page = {};
        system = {};
        system.failing = {row.failing};
        const InstallResult result = install();
        EXPECT_EQ(result.completed, row.completed);
        if (row.completed) {
            EXPECT_EQ(system.done, everyStep);
        }
        EXPECT_EQ(result.installDir, "C:\\Apps\\Tool\\");
        EXPECT_EQ(page.status, row.completed ? "Installation completed" : "Installation failed");
        const std::string copied = row.copyLineFails ? "Failed: files could not be written" : "Completed";
        EXPECT_EQ(page.lines.at(3), "Copy Program Files   -->   *** " + copied + " ***");
        EXPECT_EQ(system.done.back(), "uninstall.dat 1");
        std::map<std::string, RegistryValue> values;
        for (const RegistryValue& value : system.written.at(kEntryKey)) values[value.name] = value;
        EXPECT_TRUE(values.at("EstimatedSize").isNumber);
        EXPECT_EQ(values.at("EstimatedSize").number, row.kilobytes);
        EXPECT_EQ(values.at("InstallDate").text, "20260501");
    }
}

// The folder field is checked before Install; should an incomplete folder
// still arrive, nothing is installed relative to the current folder.
TEST_F(InstallStepTest, AnIncompleteFolderInstallsNothing) {
    for (const char* folder : {"", "Apps", "\\Apps"}) {
        SCOPED_TRACE(folder);
        page = {};
        system = {};
        page.folder = folder;
        const InstallResult result = install();
        EXPECT_EQ(result.installDir, "");
        EXPECT_FALSE(result.completed);
        EXPECT_TRUE(system.done.empty());
        EXPECT_EQ(page.status, "Installation failed");
    }
}

// A copy task onto an existing file asks; No keeps the file and is no failure.
TEST_F(InstallStepTest, ACopyOverAnExistingFileAsksFirst) {
    for (const bool replace : {false, true}) {
        page = {};
        system = {};
        page.replace = replace;
        system.existing = {"C:\\Apps\\Tool\\x.txt"};
        EXPECT_TRUE(install().completed);
        EXPECT_EQ(page.asked, std::vector<std::string>{"C:\\Apps\\Tool\\x.txt"});
        EXPECT_EQ(std::count(system.done.begin(), system.done.end(), "copy C:\\Apps\\Tool\\x.txt"), replace ? 1 : 0);
    }
}

// The install step above shows the copy line's two endings; here every
// outcome that must not count as copied.
TEST(ProgressLines, CopyLineSaysCompletedOnlyWhenEverythingWentWell) {
    EXPECT_EQ(copyingLine(LanguageTexts("Tool", "")), "Copy Program Files .....");
    EXPECT_TRUE(copyCompleted(true, {}));
    for (ExtractOutcome bad : {ExtractOutcome::UnsafeName, ExtractOutcome::Damaged, ExtractOutcome::Truncated,
                               ExtractOutcome::WriteFailed, ExtractOutcome::UnknownKind})
        EXPECT_FALSE(copyCompleted(true, {ExtractOutcome::Written, ExtractOutcome::Kept, bad}));
}

}  // namespace
}  // namespace brindle
