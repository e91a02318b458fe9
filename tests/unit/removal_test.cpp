#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "temp_folder.h"
#include "toolkit/file_paths.h"
#include "uninstall/removal.h"
#include "uninstall/removal_plan.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

// Keys as "root\key", each with its values.
struct FakeRegistry : RegistryEdits {
    bool deleteValue(std::uint32_t root, const std::string& key, const std::string& name) override {
        keys[path(root, key)].erase(name);
        return !failing;
    }
    bool deleteKeyIfEmpty(std::uint32_t root, const std::string& key) override {
        const auto found = keys.find(path(root, key));
        if (found != keys.end() && found->second.empty()) keys.erase(found);
        return !failing;
    }
    bool deleteKey(std::uint32_t root, const std::string& key) override {
        keys.erase(path(root, key));
        return !failing;
    }
    std::string readString(std::uint32_t root, const std::string& key, const std::string& name) override {
        const auto found = keys.find(path(root, key));
        if (found == keys.end() || !found->second.count(name)) return {};
        return found->second.at(name);
    }
    static std::string path(std::uint32_t root, const std::string& key) { return std::to_string(root) + "\\" + key; }

    std::map<std::string, std::map<std::string, std::string>> keys;
    bool failing = false;
};

// An installation folder beside a folder outside it that links inside the
// installation lead to.
struct Installation {
    test::TempFolder root;
    fs::path dir = root.path() / "Tool";
    fs::path outside = root.path() / "outside";
    std::string progDir = dir.string() + "\\";

    Installation() {
        fs::create_directories(dir / "docs");
        fs::create_directories(outside);
        for (const fs::path& file : {dir / "tool.exe", dir / "docs" / "manual.txt", dir / "Uninstall.exe",
                                     dir / "uninstall.dat", outside / "inside.txt", outside / "precious.txt"})
            test::writeBytes(file, test::bytesOf("data"));
        fs::create_directory_symlink(outside, dir / "link");
    }
    RemovalPlan plan(std::vector<Removal> steps) const {
        return {progDir, {"uninstall.dat", "Uninstall.exe"}, std::move(steps), {"refused entry"}};
    }
};

TEST(Removal, FilesAndEmptyFoldersButNothingThroughALink) {
    Installation installation;
    test::writeBytes(installation.dir / "docs" / "user.txt", test::bytesOf("the user's"));
    test::writeBytes(installation.dir / "notes", test::bytesOf("a file where a folder was"));
    const std::string& dir = installation.progDir;
    FakeRegistry registry;
    const std::vector<std::string> stayed = carryOut(
        installation.plan({{RemovalKind::File, dir + "tool.exe"},
                           {RemovalKind::File, dir + "docs\\manual.txt"},
                           {RemovalKind::File, dir + "never-made.txt"},
                           {RemovalKind::File, dir + "link\\inside.txt"},
                           {RemovalKind::File, dir + "docs"},
                           {RemovalKind::EmptyFolder, dir + "docs\\"},
                           {RemovalKind::EmptyFolder, dir + "link\\"},
                           {RemovalKind::EmptyFolder, dir + "never-made\\"},
                           {RemovalKind::EmptyFolder, dir + "notes\\"}}),
        registry).stayed;
    // Refused entries come first; a folder holding the user's file is no
    // failure; one that cannot be listed stays, with the system's cause.
    EXPECT_EQ(stayed, (std::vector<std::string>{"refused entry", dir + "link\\inside.txt", dir + "docs",
                                                dir + "notes\\: " + std::strerror(ENOTDIR)}));
    EXPECT_FALSE(fs::exists(installation.dir / "tool.exe"));
    EXPECT_FALSE(fs::exists(installation.dir / "docs" / "manual.txt"));
    EXPECT_TRUE(fs::exists(installation.dir / "docs" / "user.txt"));
    EXPECT_TRUE(fs::exists(installation.outside / "inside.txt"));
    EXPECT_TRUE(fs::is_symlink(installation.dir / "link"));

    fs::remove(installation.dir / "docs" / "user.txt");
    EXPECT_EQ(carryOut(installation.plan({{RemovalKind::EmptyFolder, dir + "docs\\"}}), registry).stayed.size(), 1u);
    EXPECT_FALSE(fs::exists(installation.dir / "docs"));
}

TEST(Removal, DeleteAllTakesEverythingButTheUninstallerAndUnlinksLinks) {
    Installation installation;
    FakeRegistry registry;
    EXPECT_EQ(carryOut(installation.plan({{RemovalKind::FolderContents, installation.progDir}}), registry).stayed.size(),
              1u);
    EXPECT_EQ(test::contentsOf(installation.root.path()),
              (test::FolderContents{{"Tool/", ""}, {"Tool/Uninstall.exe", "data"}, {"Tool/uninstall.dat", "data"},
                                    {"outside/", ""}, {"outside/inside.txt", "data"},
                                    {"outside/precious.txt", "data"}}));
}

// The uninstall entry and the remembered choices go only while they still
// name this installation; what fails is reported by its key.
TEST(Removal, RegistryKeysOnlyWhileTheyAreOurs) {
    Installation installation;
    FakeRegistry registry;
    registry.keys = {{"2147483650\\Uninstall\\Ours", {{"UninstallString", "C:\\TOOL\\uninstall.exe"}}},
                     {"2147483650\\Uninstall\\Doubled", {{"UninstallString", "\"C:\\Program Files\\\\Tool\\uninstall.exe\""}}},
                     {"2147483650\\Uninstall\\Taken", {{"UninstallString", "C:\\Elsewhere\\uninstall.exe"}}},
                     {"2147483649\\Software\\Tool", {{"Path", "x"}, {"Other", "y"}}},
                     {"2147483649\\Software\\Empty", {{"Path", "x"}}}};
    const std::vector<Removal> steps = {
        {RemovalKind::OwnedRegistryKey, "", 0x80000002u, "Uninstall\\Ours", "UninstallString", "C:\\Tool\\uninstall.exe"},
        // Written by an earlier installer in another spelling of the folder.
        {RemovalKind::OwnedRegistryKey, "", 0x80000002u, "Uninstall\\Doubled", "UninstallString",
         "\"C:\\Program Files\\Tool\\uninstall.exe\""},
        {RemovalKind::OwnedRegistryKey, "", 0x80000002u, "Uninstall\\Taken", "UninstallString", "C:\\Tool\\uninstall.exe"},
        {RemovalKind::RegistryValue, "", 0x80000001u, "Software\\Tool", "Path"},
        {RemovalKind::EmptyRegistryKey, "", 0x80000001u, "Software\\Tool"},
        {RemovalKind::RegistryValue, "", 0x80000001u, "Software\\Empty", "Path"},
        {RemovalKind::EmptyRegistryKey, "", 0x80000001u, "Software\\Empty"},
    };
    EXPECT_EQ(carryOut(installation.plan(steps), registry).stayed.size(), 1u);
    EXPECT_EQ(registry.keys,
              (decltype(registry.keys){
                  {"2147483649\\Software\\Tool", {{"Other", "y"}}},
                  {"2147483650\\Uninstall\\Taken", {{"UninstallString", "C:\\Elsewhere\\uninstall.exe"}}}}));

    registry.failing = true;
    EXPECT_EQ(carryOut(installation.plan({steps[3], steps[4]}), registry).stayed,
              (std::vector<std::string>{"refused entry", "HKEY_CURRENT_USER\\Software\\Tool (Path)",
                                        "HKEY_CURRENT_USER\\Software\\Tool"}));
}

// Outside the installation folder: a file a task copied goes only while it
// is as the installer wrote it (otherwise it is the user's, kept and named
// as such), and nothing goes that a link on its way would lead elsewhere.
TEST(Removal, WrittenFilesOnlyWhileTheyAreAsWritten) {
    Installation installation;
    const std::string outside = installation.root.corePath() + "outside\\";
    test::writeBytes(installation.outside / "changed.txt", test::bytesOf("the user's text"));
    FileStamp asWritten, changed;
    ASSERT_TRUE(readFileStamp(outside + "inside.txt", asWritten));
    ASSERT_TRUE(readFileStamp(outside + "changed.txt", changed));
    changed.modified -= 1;  // written earlier than it is now
    fs::create_directory_symlink(installation.outside, installation.root.path() / "shortcut");
    FakeRegistry registry;
    const auto written = [](const std::string& path, FileStamp stamp) {
        return Removal{RemovalKind::WrittenFile, path, 0, {}, {}, {}, stamp};
    };
    const RemovalOutcome outcome = carryOut(
        installation.plan({written(outside + "inside.txt", asWritten), written(outside + "changed.txt", changed),
                           written(outside + "gone.txt", asWritten),
                           written(installation.root.corePath() + "shortcut\\precious.txt", asWritten),
                           {RemovalKind::File, installation.root.corePath() + "shortcut\\precious.txt"}}),
        registry);
    EXPECT_EQ(outcome.kept, std::vector<std::string>{outside + "changed.txt"});
    EXPECT_EQ(outcome.stayed, (std::vector<std::string>{"refused entry", installation.root.corePath() + "shortcut\\precious.txt",
                                                        installation.root.corePath() + "shortcut\\precious.txt"}));
    EXPECT_EQ(test::contentsOf(installation.outside),
              (test::FolderContents{{"changed.txt", "the user's text"}, {"precious.txt", "data"}}));
}

// An INI value goes; its group and its file go too where the installation
// made them and nothing of anyone else's is left in them.
TEST(Removal, IniValuesWithWhatTheInstallationMadeForThem) {
    const struct {
        const char* before;
        IniMade made;
        const char* after;  // nullptr: the file is gone
    } rows[] = {
        {"[Paths]\r\nHome = C:\\Tool\r\n", IniMade::File, nullptr},
        {"; note\r\n[Paths]\r\nHome = C:\\Tool\r\n", IniMade::File, nullptr},
        {"[Old]\r\nA = 1\r\n[Paths]\r\nHome = C:\\Tool\r\n", IniMade::File, "[Old]\r\nA = 1\r\n"},
        {"[Old]\r\nA = 1\r\n[Paths]\r\nHome = C:\\Tool\r\n", IniMade::Group, "[Old]\r\nA = 1\r\n"},
        {"[Paths]\r\nHome = C:\\Tool\r\nOther = 2\r\n", IniMade::Group, "[Paths]\r\nOther = 2\r\n"},
        {"[Paths]\r\nHome = C:\\Tool\r\n", IniMade::Value, "[Paths]\r\n"},
        {"[Other]\r\nHome = 1\r\n", IniMade::File, "[Other]\r\nHome = 1\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.before);
        Installation installation;
        test::writeText(installation.dir / "tool.ini", row.before);
        FakeRegistry registry;
        const RemovalOutcome outcome = carryOut(
            installation.plan({{RemovalKind::IniValue, installation.progDir + "tool.ini", 0, "Home", "Paths", {}, {}, row.made}}),
            registry);
        EXPECT_EQ(outcome.stayed.size(), 1u);
        EXPECT_EQ(fs::exists(installation.dir / "tool.ini"), row.after != nullptr);
        if (row.after) EXPECT_EQ(test::readText(installation.dir / "tool.ini"), row.after);
    }
}

}  // namespace
}  // namespace brindle
