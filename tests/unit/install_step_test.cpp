#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
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
    void noteFile(const std::string& path, const ExtractResult& result) override {
        const ExtractOutcome outcome = result.outcome;
        notes.push_back(withCause((outcome == ExtractOutcome::Written ? "written "
                                   : outcome == ExtractOutcome::Kept  ? "kept "
                                                                      : "not written ") +
                                      path,
                                  result.cause));
    }
    void noteFailure(const std::string& what, FileResult cause) override {
        notes.push_back(withCause("failed " + what, cause));
    }

    std::string folder = "C:\\Apps\\Tool";
    bool replace = false;
    std::string status;
    std::vector<std::string> lines, asked, notes;  // notes: for the log
};

// Records every operation; `failing` names the ones that fail, file
// operations with the system's cause EACCES, a file of the package ENOSPC.
struct FakeSystem : InstallActions {
    std::uint32_t registryView() override { return view; }
    std::string folderPath(int code) override { return code == kDesktopFolder ? "C:\\Desk\\" : "C:\\Menu\\"; }
    void announceInstallDir(const std::string&) override {}
    std::string today() override { return "20260501"; }
    bool exists(const std::string& path) override { return existing.count(path) != 0; }
    std::string longForm(const std::string& path) override { return path == "C:\\APPS~1" ? "C:\\Apps" : ""; }
    FileResult createFolderChain(const std::string& folder) override { return fileOperation("folder " + folder); }
    FileResult createInstallFolder(const std::string& folder) override {
        return fileOperation("install-folder " + folder);
    }
    bool readFile(const std::string& path, std::string& content) override {
        const auto found = files.find(path);
        if (found == files.end()) return false;
        content = found->second;
        return true;
    }
    bool readFileStamp(const std::string&, FileStamp& stamp) override {
        stamp = {1, 2};
        return true;
    }
    FileResult removeFile(const std::string& folder, const std::string& name) override {
        return fileOperation("remove " + folder + name);
    }
    FileResult removeFolderIfEmpty(const std::string& folder, const std::string& name) override {
        return fileOperation("remove " + folder + name);
    }
    std::string sha256(const std::string& bytes) override { return "hash of " + bytes.substr(0, 12); }
    bool extractPackage(const std::string& package, const std::string& destination, const std::string&,
                        std::vector<PackageEntry>& entries, std::vector<ExtractResult>& results) override {
        if (failing.count("package")) return false;
        entries = {{"tool.exe", kFileEntry, 3000}, {"docs\\", kFolderEntry}, {"data.bin", kFileEntry, 2000}};
        results = {{ExtractOutcome::Written}, {ExtractOutcome::FolderMade},
                   failing.count("file") ? ExtractResult{ExtractOutcome::WriteFailed, FileResult::failure(ENOSPC)}
                                         : ExtractResult{ExtractOutcome::Kept}};
        return did("extract " + package.substr(package.rfind('\\') + 1) + " > " + destination);
    }
    FileResult copyFile(const std::string&, const std::string& target) override { return fileOperation("copy " + target); }
    bool createShortcut(const Shortcut& shortcut) override { return did("link " + shortcut.linkFile); }
    bool writeRegistryStrings(std::uint32_t root, const std::string& key,
                              const std::vector<RegistryValue>& values) override {
        for (const RegistryValue& value : values) written[key].push_back(value);
        return did("registry " + std::to_string(root) + " " + key);
    }
    std::string readRegistryString(std::uint32_t, const std::string& key, const std::string& name) override {
        for (const RegistryValue& value : written[key])
            if (value.name == name) return value.text;
        return {};
    }
    bool registryKeyExists(std::uint32_t, const std::string&) override { return true; }
    FileResult writeUninstallData(const UninstallInputs& inputs, const LanguageTexts&, std::string& content) override {
        uninstall = inputs;
        content = "uninstall.dat as written";
        return fileOperation("uninstall.dat " + std::to_string(inputs.made.taskRecords.size()));
    }

    bool did(const std::string& what) {
        done.push_back(what);
        return failing.count(what.substr(0, what.find(' '))) == 0;
    }
    FileResult fileOperation(const std::string& what) { return did(what) ? FileResult() : FileResult::failure(EACCES); }
    std::uint32_t view = 0;
    std::set<std::string> failing, existing;
    std::map<std::string, std::string> files;
    std::vector<std::string> done;
    std::map<std::string, std::vector<RegistryValue>> written;
    UninstallInputs uninstall;
};

class InstallStepTest : public ::testing::Test {
protected:
    InstallResult install() {
        test::writeBytes(work.path() / "setup.ini",
                         test::bytesOf("[Settings]\r\n" + settingsExtra + "ProgExe=tool.exe\r\n[Info]\r\nTitel=Tool\r\nGUID=G1\r\n"
                                       "[Task]\r\nStartMenu=1\r\n[StartMenue]\r\nProgLink=Tool\r\nUnistall=1\r\n"
                                       "[UserTask]\r\n" + tasks));
        settings = {};
        readStartupSettings(ini, work.corePath() + "setup.ini", settings);
        readWizardSettings(ini, work.corePath() + "setup.ini", settings);
        return runInstall(work.corePath(), ini, settings, texts, page, system);
    }

    test::TempFolder work;
    std::string settingsExtra;
    std::string tasks = "Number=1\r\nTask1=5|x.txt|x.txt\r\n";
    PreferenceFile ini;
    SetupSettings settings;
    LanguageTexts texts{"Tool", "1.0"};
    FakePage page;
    FakeSystem system;
};

// Every step in order when all goes well. Each failure shows in the status
// line, a failed file operation names what failed and why in the list, and
// the steps after it still run (the uninstaller needs its entry and
// uninstall.dat all the more). The entry's size is what the copy wrote or
// kept, in kilobytes rounded up.
TEST_F(InstallStepTest, EveryStepRunsAndAFailedOneIsNeverReportedAsSuccess) {
    const std::vector<std::string> everyStep = {
        "install-folder C:\\Apps\\Tool\\", "extract setup.pck > C:\\Apps\\Tool\\",
        "registry 2147483650 " + std::string(kEntryKey),
        "link C:\\Desk\\Tool.lnk", "folder C:\\Menu\\Tool\\", "link C:\\Menu\\Tool\\Tool.lnk",
        "link C:\\Menu\\Tool\\Uninstall.lnk", "registry 2147483649 SOFTWARE\\Brindle\\G1",
        "copy C:\\Apps\\Tool\\x.txt", "uninstall.dat 1", "registry 2147483650 " + std::string(kEntryKey)};
    // `noted`: the first note for the log that names a failure, and so what
    // failed ("" for none).
    const struct {
        const char* failing;
        bool completed, copyLineFails;
        std::uint32_t kilobytes;
        std::vector<std::string> named;  // lines of the list that name a failure
        std::string noted;
    } rows[] = {
        {"", true, false, 5, {}, ""},
        {"package", false, true, 0, {}, "failed " + work.corePath() + "setup.pck"},
        {"file", false, true, 3, {"data.bin: file could not be written: " + std::string(std::strerror(ENOSPC))},
         "not written C:\\Apps\\Tool\\data.bin: " + std::string(std::strerror(ENOSPC))},
        {"install-folder", false, true, 0, {"C:\\Apps\\Tool\\: " + std::string(std::strerror(EACCES))}, "failed C:\\Apps\\Tool\\: " + std::string(std::strerror(EACCES))},
        {"folder", false, false, 5, {"C:\\Menu\\Tool\\: " + std::string(std::strerror(EACCES))}, "failed C:\\Menu\\Tool\\: " + std::string(std::strerror(EACCES))},
        {"registry", false, false, 5, {}, "failed HKEY_LOCAL_MACHINE\\" + std::string(kEntryKey)},
        {"link", false, false, 5, {}, "failed C:\\Desk\\Tool.lnk"},
        {"copy", false, false, 5, {"C:\\Apps\\Tool\\x.txt: " + std::string(std::strerror(EACCES))}, "not written C:\\Apps\\Tool\\x.txt: " + std::string(std::strerror(EACCES))},
        {"uninstall.dat", false, false, 5, {"C:\\Apps\\Tool\\uninstall.dat: " + std::string(std::strerror(EACCES))},
         "failed C:\\Apps\\Tool\\uninstall.dat: " + std::string(std::strerror(EACCES))},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.failing);
        page = {};
        system = {};
        system.failing = {row.failing};
        const InstallResult result = install();
        EXPECT_EQ(result.completed, row.completed);
        if (row.completed) {
            EXPECT_EQ(system.done, everyStep);
            EXPECT_EQ(page.notes, (std::vector<std::string>{"written C:\\Apps\\Tool\\tool.exe",
                                                             "kept C:\\Apps\\Tool\\data.bin",
                                                             "written C:\\Apps\\Tool\\x.txt"}));
        }
        const auto failure = std::find_if(page.notes.begin(), page.notes.end(), [](const std::string& note) {
            return note.rfind("failed ", 0) == 0 || note.rfind("not written ", 0) == 0;
        });
        EXPECT_EQ(failure == page.notes.end() ? "" : *failure, row.noted);
        EXPECT_EQ(result.installDir, "C:\\Apps\\Tool\\");
        EXPECT_EQ(page.status, row.completed ? "Installation completed" : "Installation failed");
        const std::string copied = row.copyLineFails ? "Failed: files could not be written" : "Completed";
        EXPECT_EQ(page.lines.at(3), "Copy Program Files   -->   *** " + copied + " ***");
        std::vector<std::string> named;  // beside the copy line
        for (std::size_t i = 4; i < page.lines.size(); ++i)
            if (page.lines[i].find(": ") != std::string::npos) named.push_back(page.lines[i]);
        EXPECT_EQ(named, row.named);
        // A failed copy leaves no record: its file is none of the installation's.
        const std::string data = row.failing == std::string("copy") ? "uninstall.dat 0" : "uninstall.dat 1";
        EXPECT_NE(std::find(system.done.begin(), system.done.end(), data), system.done.end());
        std::map<std::string, RegistryValue> values;
        for (const RegistryValue& value : system.written.at(kEntryKey)) values[value.name] = value;
        EXPECT_TRUE(values.at("EstimatedSize").isNumber);
        EXPECT_EQ(values.at("EstimatedSize").number, row.kilobytes);
        EXPECT_EQ(values.at("InstallDate").text, "20260501");
        // The hash of uninstall.dat goes into the entry once the file is whole.
        EXPECT_EQ(values.count("UninstallDataHash") ? values.at("UninstallDataHash").text : "",
                  row.failing == std::string("uninstall.dat") || row.failing == std::string("registry")
                      ? ""
                      : "hash of uninstall.da");
    }
}

// The folder as the user wrote it becomes one spelling (the existing part
// long), and a folder above it that the step made is recorded; one that
// was there is not. Files kept from before are named for the record.
TEST_F(InstallStepTest, OneSpellingOfTheFolderAndWhatTheStepMade) {
    const struct {
        const char* written;
        std::set<std::string> existing;
        const char* installDir;
        const char* madeAbove;
    } rows[] = {
        {"C:\\Apps\\Tool", {}, "C:\\Apps\\Tool\\", "C:\\Apps\\"},
        {"C:/APPS~1//New/./Tool\\", {"C:\\Apps\\"}, "C:\\Apps\\New\\Tool\\", "C:\\Apps\\New\\"},
        {"C:\\Apps\\Tool", {"C:\\Apps\\"}, "C:\\Apps\\Tool\\", ""},
        {"C:\\Apps\\Tool", {"C:\\Apps\\Tool\\"}, "C:\\Apps\\Tool\\", ""},
        {"C:\\Tool", {}, "C:\\Tool\\", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.written);
        page = {};
        system = {};
        page.folder = row.written;
        system.existing = row.existing;
        EXPECT_EQ(install().installDir, row.installDir);
        EXPECT_EQ(system.uninstall.installDir, row.installDir);
        EXPECT_EQ(system.uninstall.made.madeAbove, row.madeAbove);
        EXPECT_EQ(system.uninstall.keptFiles, std::vector<std::string>{"data.bin"});
    }
}

// An earlier uninstall.dat of the same application in the folder is read
// before the copy replaces it: whole while the uninstall entry holds its
// hash and names this folder, otherwise only what lies inside the folder.
// Another application's, or one for another folder, is not read at all.
TEST_F(InstallStepTest, AnEarlierInstallationAsFarAsItIsTrusted) {
    const std::string earlier =
        "[Settings]\r\nProgName = Tool\r\nProgDir = C:\\Apps\\\\Tool\\\r\nGUID = G1\r\n"
        "[Files]\r\nF001 = old.dll\r\n[UserTask]\r\nNumber = 2\r\nTask1 = C:\\Data\\a.txt\r\n"
        "Task2 = C:\\Apps\\Tool\\b.txt\r\n[Written]\r\nFile1 = 1|2|C:\\Data\\a.txt\r\n";
    const struct {
        std::string file, hash, command;
        std::vector<std::string> files, tasks;
    } rows[] = {
        {earlier, "hash of [Settings]\r\n", "C:\\Apps\\Tool\\uninstall.exe", {"old.dll"}, {"C:\\Data\\a.txt", "C:\\Apps\\Tool\\b.txt"}},
        {earlier, "hash of [Settings]\r\n", "C:\\Apps\\Other\\uninstall.exe", {"old.dll"}, {"C:\\Apps\\Tool\\b.txt"}},
        {earlier, "hash of another", "C:\\Apps\\Tool\\uninstall.exe", {"old.dll"}, {"C:\\Apps\\Tool\\b.txt"}},
        {earlier, "", "", {"old.dll"}, {"C:\\Apps\\Tool\\b.txt"}},
        {replaceAll(earlier, "GUID = G1", "GUID = G2"), "hash of [Settings]\r\n", "C:\\Apps\\Tool\\uninstall.exe", {}, {}},
        {replaceAll(earlier, "Apps\\\\Tool", "Apps\\Other"), "", "", {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file + row.hash + row.command);
        page = {};
        system = {};
        system.files = {{"C:\\Apps\\Tool\\uninstall.dat", row.file}};
        system.written[kEntryKey] = {{"UninstallDataHash", row.hash}, {"UninstallString", row.command}};
        install();
        EXPECT_EQ(system.uninstall.earlier.files, row.files);
        EXPECT_EQ(system.uninstall.earlier.taskRecords, row.tasks);
        EXPECT_EQ(system.uninstall.earlier.writtenFiles.size(), row.tasks.size() == 2 ? 1u : 0u);
    }
}

// A 64-bit installation writes the uninstall entry (its hash included), the
// remembered choices and the registry tasks in the 64-bit view, unless a
// task names its view; uninstall.dat and the entry record the view for the
// uninstaller. A 32-bit installation names no view, as it always did.
TEST_F(InstallStepTest, TheRegistryViewOfTheInstallation) {
    tasks = "Number=3\r\nTask1=6|2147483650|Software\\A|a|1\r\nTask2=6|HKLM32|Software\\B|b|2\r\n"
            "Task3=6|HKLM64|Software\\C|c|3\r\n";
    for (const std::uint32_t view : {0u, kRegistryView64}) {
        SCOPED_TRACE(view);
        page = {};
        system = {};
        system.view = view;
        EXPECT_TRUE(install().completed);
        const auto write = [](std::uint32_t root, const std::string& key) {
            return "registry " + std::to_string(root) + " " + key;
        };
        const std::uint32_t machine = kLocalMachine | view, machine32 = kLocalMachine | kRegistryView32,
                            machine64 = kLocalMachine | kRegistryView64;
        std::vector<std::string> writes;
        std::copy_if(system.done.begin(), system.done.end(), std::back_inserter(writes),
                     [](const std::string& done) { return done.rfind("registry ", 0) == 0; });
        EXPECT_EQ(writes, (std::vector<std::string>{write(machine, kEntryKey),
                                                    write(kCurrentUser | view, "SOFTWARE\\Brindle\\G1"),
                                                    write(machine, "Software\\A"), write(machine32, "Software\\B"),
                                                    write(machine64, "Software\\C"), write(machine, kEntryKey)}));
        EXPECT_EQ(system.uninstall.made.taskRecords,
                  (std::vector<std::string>{std::to_string(machine) + "|Software\\A|a",
                                            std::to_string(machine32) + "|Software\\B|b",
                                            std::to_string(machine64) + "|Software\\C|c"}));
        EXPECT_EQ(system.uninstall.made.registryView, view);
        const std::vector<RegistryValue>& entry = system.written.at(kEntryKey);
        EXPECT_EQ(std::any_of(entry.begin(), entry.end(),
                              [](const RegistryValue& value) { return value.name == "RegistryView" && value.text == "64"; }),
                  view == kRegistryView64);
    }
}

// RemoveOldFiles takes the earlier version's files that this one does not
// ship, each listed, then the folders they leave empty; what could not go
// is listed with the reason and stays on the record. Without it they stay
// until the uninstall.
TEST_F(InstallStepTest, RemoveOldFilesTakesWhatTheNewVersionDropped) {
    const std::string earlier = "[Settings]\r\nProgDir = C:\\Apps\\Tool\\\r\nGUID = G1\r\n[Files]\r\nF001 = tool.exe\r\n"
                                "F002 = old.dll\r\nF003 = sub\\gone.txt\r\nF004 = ..\\outside.txt\r\nF005 = DATA.BIN\r\n";
    for (const bool remove : {false, true}) {
        SCOPED_TRACE(remove);
        page = {};
        system = {};
        system.files = {{"C:\\Apps\\Tool\\uninstall.dat", earlier}};
        system.failing = {"remove"};
        system.existing = {"C:\\Apps\\Tool\\"};
        settingsExtra = remove ? "RemoveOldFiles=1\r\n" : "";
        EXPECT_EQ(install().completed, !remove);
        std::vector<std::string> removals;
        for (const std::string& step : system.done)
            if (step.rfind("remove ", 0) == 0) removals.push_back(step);
        const std::vector<std::string> expected = {"remove C:\\Apps\\Tool\\old.dll",
                                                   "remove C:\\Apps\\Tool\\sub\\gone.txt"};
        EXPECT_EQ(removals, remove ? expected : std::vector<std::string>{});
        // Both failed here, so both stay on the record for the uninstall.
        EXPECT_EQ(system.uninstall.earlier.files.size(), 5u);
        const std::string line = "   sub\\gone.txt: " + std::string(std::strerror(EACCES));
        EXPECT_EQ(std::find(page.lines.begin(), page.lines.end(), line) != page.lines.end(), remove);
    }
    system.failing = {};
    system.done.clear();
    page = {};
    install();
    EXPECT_NE(std::find(page.lines.begin(), page.lines.end(), "   sub\\gone.txt"), page.lines.end());
    EXPECT_EQ(system.uninstall.earlier.files, (std::vector<std::string>{"tool.exe", "..\\outside.txt", "DATA.BIN"}));
    EXPECT_NE(std::find(system.done.begin(), system.done.end(), "remove C:\\Apps\\Tool\\sub\\"), system.done.end());
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
// outcome that must not count as copied, and the line each one gets.
TEST(ProgressLines, CopyLineSaysCompletedOnlyWhenEverythingWentWellAndTheRestAreNamed) {
    using enum ExtractOutcome;
    EXPECT_EQ(copyingLine(LanguageTexts("Tool", "")), "Copy Program Files .....");
    EXPECT_TRUE(copyCompleted(true, {}));
    const std::vector<PackageEntry> entries = {{"a.txt"}, {"sub\\"}, {"b.txt", kFileEntry, 2000}};
    const struct {
        ExtractResult bad;
        std::string shows;  // what the line tells beyond the entry's name
    } rows[] = {
        {{UnsafeName}, "unsafe name"},
        {{LinkInWay}, "is a link"},
        {{FolderFailed, FileResult::failure(ENOTDIR)}, std::strerror(ENOTDIR)},
        {{NoSpace}, "2000 bytes"},
        {{Damaged}, "damaged"},
        {{Truncated}, "truncated"},
        {{UnknownKind}, "unknown kind"},
        {{WriteFailed, FileResult::failure(ENOSPC)}, std::strerror(ENOSPC)},
        {{TimesFailed, FileResult::failure(EPERM)}, std::strerror(EPERM)},
    };
    for (const auto& row : rows) {
        const std::vector<ExtractResult> results = {{Written}, {Kept}, row.bad};
        EXPECT_FALSE(copyCompleted(true, results));
        const std::vector<std::string> lines = failureLines(entries, results);
        ASSERT_EQ(lines.size(), 1u) << row.shows;
        EXPECT_EQ(lines[0].rfind("b.txt: ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(row.shows), std::string::npos) << lines[0];
    }
    EXPECT_EQ(failureLines(entries, {{Written}, {FolderMade}, {Kept}}), std::vector<std::string>{});
}

}  // namespace
}  // namespace brindle
