#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "temp_folder.h"
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
        registry);
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
    EXPECT_EQ(carryOut(installation.plan({{RemovalKind::EmptyFolder, dir + "docs\\"}}), registry).size(), 1u);
    EXPECT_FALSE(fs::exists(installation.dir / "docs"));
}

TEST(Removal, DeleteAllTakesEverythingButTheUninstallerAndUnlinksLinks) {
    Installation installation;
    FakeRegistry registry;
    EXPECT_EQ(carryOut(installation.plan({{RemovalKind::FolderContents, installation.progDir}}), registry).size(), 1u);
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
                     {"2147483650\\Uninstall\\Taken", {{"UninstallString", "C:\\Elsewhere\\uninstall.exe"}}},
                     {"2147483649\\Software\\Tool", {{"Path", "x"}, {"Other", "y"}}},
                     {"2147483649\\Software\\Empty", {{"Path", "x"}}}};
    const std::vector<Removal> steps = {
        {RemovalKind::OwnedRegistryKey, "", 0x80000002u, "Uninstall\\Ours", "UninstallString", "C:\\Tool\\uninstall.exe"},
        {RemovalKind::OwnedRegistryKey, "", 0x80000002u, "Uninstall\\Taken", "UninstallString", "C:\\Tool\\uninstall.exe"},
        {RemovalKind::RegistryValue, "", 0x80000001u, "Software\\Tool", "Path"},
        {RemovalKind::EmptyRegistryKey, "", 0x80000001u, "Software\\Tool"},
        {RemovalKind::RegistryValue, "", 0x80000001u, "Software\\Empty", "Path"},
        {RemovalKind::EmptyRegistryKey, "", 0x80000001u, "Software\\Empty"},
    };
    EXPECT_EQ(carryOut(installation.plan(steps), registry).size(), 1u);
    EXPECT_EQ(registry.keys,
              (decltype(registry.keys){
                  {"2147483649\\Software\\Tool", {{"Other", "y"}}},
                  {"2147483650\\Uninstall\\Taken", {{"UninstallString", "C:\\Elsewhere\\uninstall.exe"}}}}));

    registry.failing = true;
    EXPECT_EQ(carryOut(installation.plan({steps[2], steps[3]}), registry),
              (std::vector<std::string>{"refused entry", "HKEY_CURRENT_USER\\Software\\Tool (Path)",
                                        "HKEY_CURRENT_USER\\Software\\Tool"}));
}

}  // namespace
}  // namespace brindle
