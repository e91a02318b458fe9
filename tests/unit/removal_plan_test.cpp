#include <gtest/gtest.h>

#include <algorithm>

#include "toolkit/registry.h"
#include "uninstall/protected_folders.h"
#include "uninstall/removal_plan.h"
#include "uninstall/uninstall_record.h"

namespace brindle {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

const ProtectedFolders kProtected{{"C:\\Windows\\", "C:\\Windows\\System32\\", "C:\\Program Files\\",
                                   "C:\\Users\\ann\\Desktop\\", "C:\\Users\\ann\\AppData\\Roaming\\"},
                                  "C:\\Users\\"};

UninstallRecord toolRecord() {
    UninstallRecord record;
    record.progDir = "C:\\Program Files\\Tool\\";
    record.progLink = "Tool";
    record.guid = "{G}";
    record.startMenu = "C:\\Menu\\Programs\\Vendor\\Tool\\";
    record.startMenuLinks = {"C:\\Menu\\Programs\\Vendor\\Tool\\Tool.lnk", "C:\\Menu\\Programs\\Vendor\\Tool\\.lnk",
                             "", "", "C:\\Menu\\Programs\\Vendor\\Tool\\Uninstall.lnk"};
    record.desktopIcon = "C:\\Users\\ann\\Desktop\\Tool.lnk";
    record.files = {"tool.exe", "Uninstall.exe", "uninstall.dat", "b\\x\\deep.txt", "a\\one.txt", "b\\two.txt"};
    record.taskRecords = {"C:\\Users\\ann\\Desktop\\Site.lnk", "2147483649|Software\\Tool|Path",
                          "C:\\Windows\\System32\\shared.dll", "C:\\Program Files\\Tool\\data\\copy.txt"};
    record.createdKeys = {"2147483649|Software\\Tool"};
    return record;
}

RemovalContext context(bool deleteAll = false, bool trusted = true) {
    return {"Uninstall.exe", "C:\\Menu\\Programs\\", "C:\\Users\\ann\\Desktop\\", "C:\\Menu\\Programs\\Startup\\",
            {"C:\\Windows\\", "C:\\Windows\\System32\\"}, kProtected, deleteAll, trusted};
}

std::string describe(const Removal& step) {
    switch (step.kind) {
        case RemovalKind::File: return "file " + step.path;
        case RemovalKind::WrittenFile:
            return "written " + step.path + " " + std::to_string(step.stamp.size) + " " + std::to_string(step.stamp.modified);
        case RemovalKind::IniValue:
            return "ini " + iniText(step.path, step.name, step.key) + " made " + std::to_string(int(step.made));
        case RemovalKind::EmptyFolder: return "folder " + step.path;
        case RemovalKind::FolderContents: return "contents " + step.path;
        case RemovalKind::RegistryValue: return "value " + registryText(step.root, step.key, step.name);
        case RemovalKind::EmptyRegistryKey: return "empty key " + registryText(step.root, step.key);
        case RemovalKind::OwnedRegistryKey:
            return "key " + registryText(step.root, step.key) + " if " + step.name + " = " + step.owner;
    }
    return {};
}

std::vector<std::string> describe(const RemovalPlan& plan) {
    std::vector<std::string> steps;
    for (const Removal& step : plan.steps) steps.push_back(describe(step));
    return steps;
}

TEST(RemovalPlan, EverythingTheInstallationMadeInOrder) {
    const RemovalPlan plan = planRemoval(toolRecord(), context());
    const std::vector<std::string> expected = {
        // The task records, last first; the copy into the system folder stays.
        "file C:\\Program Files\\Tool\\data\\copy.txt", "value HKEY_CURRENT_USER\\Software\\Tool (Path)",
        "empty key HKEY_CURRENT_USER\\Software\\Tool", "file C:\\Users\\ann\\Desktop\\Site.lnk",
        "file C:\\Menu\\Programs\\Vendor\\Tool\\Tool.lnk", "file C:\\Menu\\Programs\\Vendor\\Tool\\.lnk",
        "file C:\\Menu\\Programs\\Vendor\\Tool\\Uninstall.lnk", "file C:\\Users\\ann\\Desktop\\Tool.lnk",
        "folder C:\\Menu\\Programs\\Vendor\\Tool\\", "folder C:\\Menu\\Programs\\Vendor\\",
        // The uninstaller and its data are not among them: they go last.
        "file C:\\Program Files\\Tool\\tool.exe", "file C:\\Program Files\\Tool\\b\\x\\deep.txt",
        "file C:\\Program Files\\Tool\\a\\one.txt", "file C:\\Program Files\\Tool\\b\\two.txt",
        "folder C:\\Program Files\\Tool\\b\\x\\", "folder C:\\Program Files\\Tool\\a\\",
        "folder C:\\Program Files\\Tool\\b\\",
        std::string("key HKEY_LOCAL_MACHINE\\") + kUninstallKey +
            "{G} if UninstallString = \"C:\\Program Files\\Tool\\uninstall.exe\"",
        "key HKEY_CURRENT_USER\\SOFTWARE\\Brindle\\{G} if InstallDir = C:\\Program Files\\Tool\\",
        "empty key HKEY_CURRENT_USER\\SOFTWARE\\Brindle",
    };
    EXPECT_EQ(describe(plan), expected);
    EXPECT_TRUE(plan.refused.empty());
    EXPECT_TRUE(plan.untrusted.empty());
    EXPECT_EQ(plan.madeAbove, "");
    EXPECT_EQ(plan.progDir, "C:\\Program Files\\Tool\\");
    EXPECT_EQ(plan.keptNames, (std::vector<std::string>{"uninstall.dat", "Uninstall.exe"}));
}

// Without a GUID the entry is named by ProgLink and no choices were
// remembered; without a start-menu folder the installer made no links.
TEST(RemovalPlan, WithoutGuidOrStartMenu) {
    UninstallRecord record = toolRecord();
    record.guid.clear();
    record.startMenu.clear();
    record.startMenuLinks = {"Tool.lnk", ".lnk", "Help.lnk", "Homepage.lnk", "Uninstall.lnk"};
    record.taskRecords.clear();
    record.files.clear();
    record.desktopIcon.clear();
    EXPECT_EQ(describe(planRemoval(record, context())),
              std::vector<std::string>{std::string("key HKEY_LOCAL_MACHINE\\") + kUninstallKey +
                                       "Tool if UninstallString = \"C:\\Program Files\\Tool\\uninstall.exe\""});
}

// A 64-bit installation's entry and remembered choices lie in the 64-bit
// view, and a task's value in the view its record names.
TEST(RemovalPlan, TheRegistryViewsAsRecorded) {
    UninstallRecord record = toolRecord();
    record.registryView = kRegistryView64;
    record.taskRecords = {"2147483906|Software\\Tool|Path", "2147484162|Software\\Old|Path"};
    record.createdKeys.clear();
    record.files.clear();
    std::vector<std::string> registry;
    for (const std::string& step : describe(planRemoval(record, context())))
        if (step.find("HKEY_") != std::string::npos) registry.push_back(step);
    EXPECT_EQ(registry, (std::vector<std::string>{
                            "value HKEY_LOCAL_MACHINE (32-bit)\\Software\\Old (Path)",
                            "value HKEY_LOCAL_MACHINE (64-bit)\\Software\\Tool (Path)",
                            std::string("key HKEY_LOCAL_MACHINE (64-bit)\\") + kUninstallKey +
                                "{G} if UninstallString = \"C:\\Program Files\\Tool\\uninstall.exe\"",
                            "key HKEY_CURRENT_USER (64-bit)\\SOFTWARE\\Brindle\\{G} if InstallDir = C:\\Program Files\\Tool\\",
                            "empty key HKEY_CURRENT_USER (64-bit)\\SOFTWARE\\Brindle"}));
}

// Entries that would reach beyond what the installation made are refused
// and reported; nothing is planned for them.
TEST(RemovalPlan, EntriesThatBreakTheRulesAreRefused) {
    const struct {
        const char* field;
        const char* entry;
    } rows[] = {
        {"file", "..\\outside.txt"}, {"file", "sub\\..\\..\\outside.txt"}, {"file", "sub/../../outside.txt"},
        {"file", "C:\\Windows\\win.ini"}, {"file", "\\Windows\\win.ini"}, {"file", "D:outside.txt"},
        {"file", "\\\\server\\share\\x"}, {"file", "nul"}, {"file", "sub\\com1.txt"}, {"file", "tool.exe:stream"},
        {"file", "...\\x"}, {"task", "outside.lnk"}, {"task", "C:\\Users\\ann\\..\\bob\\x.lnk"},
        {"task", "\\\\?\\C:\\x.lnk"}, {"task", "2147483653|Software\\Tool|Path"},
        {"task", "0x80000001|Software\\Tool|Path"}, {"task", "2147483649||Path"},
        {"task", "2147483649|Software\\Tool|Path|more"}, {"task", "2147483649|Software\\Tool"},
        {"task", "2147484417|Software\\Tool|Path"},  // both views at once
        {"menu", "C:\\Menu\\Programs\\Other\\Tool.lnk"}, {"menu", "C:\\Menu\\Programs\\Vendor\\Tool\\tool.exe"},
        {"desktop", "C:\\Users\\ann\\Desktop\\tool.exe"}, {"desktop", "Desk.lnk"}, {"guid", "{G}\\..\\Other"},
        // Links only on the desktop, in the Startup folder or a start-menu
        // folder below the Programs folder, whatever list names them.
        {"task", "C:\\Users\\ann\\Documents\\x.lnk"}, {"desktop", "C:\\Windows\\Desktop.lnk"},
        {"link", "C:\\Program Files\\Other\\Other.lnk"}, {"link", "C:\\Users\\ann\\Desktop\\..\\x.lnk"},
        {"earlier menu", "C:\\Menu\\Elsewhere\\Tool.lnk"},
        // Folders made above the installation: an ancestor that is no protected folder.
        {"above", "C:\\Other\\"}, {"above", "C:\\Program Files\\..\\"},
        {"ini", "..\\tool.ini"}, {"ini", "C:\\Users\\ann\\..\\x.ini"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.field) + " " + row.entry);
        UninstallRecord record = toolRecord();
        const std::string field = row.field;
        if (field == "file") record.files = {row.entry};
        if (field == "task") record.taskRecords = {row.entry};
        if (field == "menu") record.startMenuLinks = {row.entry};
        if (field == "desktop") record.desktopIcon = row.entry;
        if (field == "guid") record.guid = row.entry;
        if (field == "link") record.earlierLinks = {row.entry};
        if (field == "earlier menu") {
            record.earlierStartMenus = {"C:\\Menu\\Elsewhere\\"};
            record.earlierLinks = {row.entry};
        }
        if (field == "above") record.madeAbove = row.entry;
        if (field == "ini") record.iniValues = {std::string(row.entry) + "|Paths|Home|value"};
        const RemovalPlan plan = planRemoval(record, context());
        ASSERT_FALSE(plan.refused.empty());
        EXPECT_NE(plan.refused.front().find(row.entry), std::string::npos) << plan.refused.front();
        for (const Removal& step : plan.steps) {
            EXPECT_EQ(step.path.find(row.entry), std::string::npos) << describe(step);
            EXPECT_EQ(step.key.find(row.entry), std::string::npos) << describe(step);
        }
    }
}

// While uninstall.dat is not the file the installer wrote (its hash is not
// the uninstall entry's), only what lies inside the installation folder
// goes, with the entry and the remembered choices; every record reaching
// outside is left and named. Trusted, the same record removes it all: the
// copy outside as long as it is as written, the INI value with what it made,
// the links of the earlier start-menu folder, the folder made above.
TEST(RemovalPlan, WhatReachesOutsideOnlyWhileTheRecordIsTrusted) {
    UninstallRecord record = toolRecord();
    record.startMenuLinks = {"C:\\Menu\\Programs\\Vendor\\Tool\\Tool.lnk"};
    record.taskRecords = {"C:\\Users\\ann\\AppData\\Roaming\\Tool\\Welcome.rtf", "2147483649|Software\\Tool|Path",
                          "C:\\Program Files\\Tool\\data\\copy.txt"};
    record.writtenFiles = {writtenFileRecord("C:\\Users\\ann\\AppData\\Roaming\\Tool\\Welcome.rtf", {12, 34})};
    record.iniValues = {"C:\\Program Files\\Vendor\\Tool\\tool.ini|Paths|Home|file",
                        "C:\\Users\\ann\\AppData\\Roaming\\tool.ini||Top|value"};
    record.earlierStartMenus = {"C:\\Menu\\Programs\\Tool 1\\"};
    record.earlierLinks = {"C:\\Menu\\Programs\\Tool 1\\Tool.lnk"};
    record.files = {"tool.exe"};
    record.madeAbove = "C:\\Program Files\\Vendor\\";
    record.progDir = "C:\\Program Files\\Vendor\\Tool\\";

    const std::vector<std::string> inside = {
        "file C:\\Program Files\\Vendor\\Tool\\data\\copy.txt",
        "ini C:\\Program Files\\Vendor\\Tool\\tool.ini [Paths] Home made 2",
        "file C:\\Program Files\\Vendor\\Tool\\tool.exe",
        std::string("key HKEY_LOCAL_MACHINE\\") + kUninstallKey +
            "{G} if UninstallString = \"C:\\Program Files\\Vendor\\Tool\\uninstall.exe\"",
        "key HKEY_CURRENT_USER\\SOFTWARE\\Brindle\\{G} if InstallDir = C:\\Program Files\\Vendor\\Tool\\",
        "empty key HKEY_CURRENT_USER\\SOFTWARE\\Brindle",
    };
    record.taskRecords[2] = "C:\\Program Files\\Vendor\\Tool\\data\\copy.txt";
    const RemovalPlan untrusted = planRemoval(record, context(false, false));
    EXPECT_EQ(describe(untrusted), inside);
    EXPECT_EQ(untrusted.untrusted,
              (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Tool (Path)",
                                        "C:\\Users\\ann\\AppData\\Roaming\\Tool\\Welcome.rtf",
                                        "C:\\Users\\ann\\AppData\\Roaming\\tool.ini [] Top",
                                        "C:\\Menu\\Programs\\Vendor\\Tool\\Tool.lnk",
                                        "C:\\Menu\\Programs\\Tool 1\\Tool.lnk", "C:\\Users\\ann\\Desktop\\Tool.lnk",
                                        "C:\\Program Files\\Vendor\\"}));
    EXPECT_TRUE(untrusted.refused.empty());
    EXPECT_EQ(untrusted.madeAbove, "");

    const RemovalPlan trusted = planRemoval(record, context());
    EXPECT_EQ(describe(trusted),
              (std::vector<std::string>{
                  inside[0], "value HKEY_CURRENT_USER\\Software\\Tool (Path)", "empty key HKEY_CURRENT_USER\\Software\\Tool",
                  "written C:\\Users\\ann\\AppData\\Roaming\\Tool\\Welcome.rtf 12 34",
                  "ini C:\\Users\\ann\\AppData\\Roaming\\tool.ini [] Top made 0", inside[1],
                  "file C:\\Menu\\Programs\\Vendor\\Tool\\Tool.lnk", "file C:\\Menu\\Programs\\Tool 1\\Tool.lnk",
                  "file C:\\Users\\ann\\Desktop\\Tool.lnk", "folder C:\\Menu\\Programs\\Vendor\\Tool\\",
                  "folder C:\\Menu\\Programs\\Vendor\\", "folder C:\\Menu\\Programs\\Tool 1\\", inside[2], inside[3],
                  inside[4], inside[5]}));
    EXPECT_TRUE(trusted.untrusted.empty());
    EXPECT_TRUE(trusted.refused.empty());
    EXPECT_EQ(trusted.madeAbove, "C:\\Program Files\\Vendor\\");
    // Never a protected folder, though the installation be below it.
    record.madeAbove = "C:\\Program Files\\";
    const RemovalPlan protectedAbove = planRemoval(record, context());
    EXPECT_EQ(protectedAbove.madeAbove, "");
    EXPECT_EQ(protectedAbove.refused, std::vector<std::string>{"C:\\Program Files\\"});
}

// A registry value goes, then its key and the keys above it that the
// installation created, never one that was there before it.
TEST(RemovalPlan, RegistryKeysOnlyAsFarAsTheInstallationCreatedThem) {
    const struct {
        const char* task;
        std::vector<std::string> created;
        std::vector<std::string> emptyKeys;
    } rows[] = {
        {"2147483649|Software\\Acme\\Tool|V", {}, {}},
        {"2147483649|Software\\Acme\\Tool|V",
         {"2147483649|Software\\Acme"},
         {"Software\\Acme\\Tool", "Software\\Acme"}},
        {"2147483649|Software\\Acme\\Tool|V", {"2147483649|software\\acme\\tool"}, {"Software\\Acme\\Tool"}},
        {"2147483649|Software\\Acme\\Tool|V", {"2147483650|Software\\Acme"}, {}},
        {"2147483649|Software\\Acme\\Tool|V", {"2147483649|Software\\Ac"}, {}},
        {"2147483650|Software\\Acme|V", {"2147483650|Software\\Acme\\Tool"}, {}},
        // The 64-bit view's keys are other keys than the 32-bit view's.
        {"2147483906|Software\\Acme\\Tool|V", {"2147483906|Software\\Acme"}, {"Software\\Acme\\Tool", "Software\\Acme"}},
        {"2147483906|Software\\Acme\\Tool|V", {"2147483650|Software\\Acme"}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.task);
        UninstallRecord record = toolRecord();
        record.taskRecords = {row.task};
        record.createdKeys = row.created;
        std::vector<std::string> emptyKeys;
        for (const Removal& step : planRemoval(record, context()).steps)
            if (step.kind == RemovalKind::EmptyRegistryKey && step.key.rfind("Software\\Ac", 0) == 0)
                emptyKeys.push_back(step.key);
        EXPECT_EQ(emptyKeys, row.emptyKeys);
    }
}

TEST(RemovalPlan, DeleteAllOnlyWhereTheFolderIsNoProtectedOne) {
    const struct {
        const char* progDir;
        bool noDelAll, offered, ticked, contents;
    } rows[] = {
        {"C:\\Program Files\\Tool\\", false, true, true, true},
        {"C:\\Program Files\\Tool\\", false, true, false, false},
        {"C:\\Program Files\\Tool\\", true, false, true, false}, {"C:\\", false, false, true, false},
        {"C:\\Program Files\\", false, false, true, false}, {"C:\\Users\\bob\\", false, false, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.progDir);
        UninstallRecord record = toolRecord();
        record.progDir = row.progDir;
        record.noDelAll = row.noDelAll;
        EXPECT_EQ(mayDeleteAll(record, kProtected), row.offered);
        const RemovalPlan plan = planRemoval(record, context(row.ticked));
        const bool contents = std::any_of(plan.steps.begin(), plan.steps.end(), [](const Removal& step) {
            return step.kind == RemovalKind::FolderContents;
        });
        const bool listed = std::any_of(plan.steps.begin(), plan.steps.end(), [&](const Removal& step) {
            return step.path == std::string(row.progDir) + "tool.exe";
        });
        EXPECT_EQ(contents, row.contents);
        EXPECT_EQ(listed, !row.contents);  // otherwise the builder's list
    }
}

// The start-menu folder goes with its empty parents, up to the Programs
// folder; a folder elsewhere (another user's, or a hostile one) stays.
TEST(RemovalPlan, StartMenuFoldersOnlyBelowThePrograms) {
    for (const char* menu : {"C:\\Menu\\Other\\Tool\\", "C:\\Menu\\Programs\\", "C:\\Menu\\"}) {
        SCOPED_TRACE(menu);
        UninstallRecord record = toolRecord();
        record.startMenu = menu;
        record.startMenuLinks = {std::string(menu) + "Tool.lnk"};
        for (const Removal& step : planRemoval(record, context()).steps)
            EXPECT_FALSE(step.kind == RemovalKind::EmptyFolder && step.path.rfind("C:\\Menu\\", 0) == 0)
                << describe(step);
    }
}

TEST(ProtectedFolders, RootsSystemFoldersProfilesAndEveryFolderAboveThem) {
    const struct {
        const char* folder;
        bool isProtected;
    } rows[] = {
        {"C:\\", true}, {"D:\\", true}, {"\\\\server\\share\\", true}, {"\\\\server\\share\\Tool\\", false},
        {"C:\\Windows\\", true}, {"c:\\WINDOWS\\", true}, {"C:\\Windows\\System32\\", true},
        {"C:\\Windows\\Tool\\", false}, {"C:\\Program Files\\", true}, {"C:\\Program Files\\Tool\\", false},
        {"C:\\Users\\", true}, {"C:\\Users\\ann\\", true}, {"C:\\Users\\bob\\", true},
        {"C:\\Users\\ann\\AppData\\", true}, {"C:\\Users\\ann\\AppData\\Roaming\\Tool\\", false},
        {"C:\\Users\\ann\\Tools\\Tool\\", false}, {"C:\\Tools\\..\\", true}, {"Tool\\", true},
    };
    for (const auto& row : rows) EXPECT_EQ(isProtectedFolder(row.folder, kProtected), row.isProtected) << row.folder;
}

}  // namespace
}  // namespace brindle
