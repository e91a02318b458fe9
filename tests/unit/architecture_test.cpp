#include <gtest/gtest.h>

#include "config/architecture.h"
#include "toolkit/registry.h"

namespace brindle {
namespace {

// The setting over the Windows it runs on: only a 64-bit installation on
// 64-bit Windows leaves the 32-bit world, and one on 32-bit Windows does not
// run. Values other than the two (case counts) are the 32-bit installation.
TEST(Architecture, WhatAnInstallationDoesOnEachWindows) {
    const struct {
        const char* setting;
        bool windows64;
        bool runs, nativeFiles;
        std::uint32_t registryView;
    } rows[] = {
        {"", false, true, false, 0},      {"", true, true, false, 0},
        {"x86", false, true, false, 0},   {"x86", true, true, false, 0},
        {"x64", false, false, false, 0},  {"x64", true, true, true, kRegistryView64},
        {"X64", true, true, false, 0},    {"amd64", true, true, false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.setting) + (row.windows64 ? " on 64-bit" : " on 32-bit"));
        const InstallPlatform platform = installPlatform(architectureOf(row.setting), row.windows64);
        EXPECT_EQ(platform.runs, row.runs);
        EXPECT_EQ(platform.nativeFiles, row.nativeFiles);
        EXPECT_EQ(platform.registryView, row.registryView);
    }
    Architecture read = Architecture::X86;
    EXPECT_FALSE(readArchitecture("X64", read));
    EXPECT_TRUE(readArchitecture("x64", read));
    EXPECT_EQ(read, Architecture::X64);
}

// A decimal root or a bare name takes the installation's view; a name ending
// in 32 or 64 keeps its own. Anything else reads as a number, as it did.
TEST(Architecture, RegistryRootsOfTasks) {
    const struct {
        const char* field;
        std::uint32_t installationView, root;
    } rows[] = {
        {"2147483650", 0, kLocalMachine},
        {"2147483650", kRegistryView64, kLocalMachine | kRegistryView64},
        {"HKLM", 0, kLocalMachine},
        {"HKCU", kRegistryView64, kCurrentUser | kRegistryView64},
        {"HKLM32", kRegistryView64, kLocalMachine | kRegistryView32},
        {"HKLM64", 0, kLocalMachine | kRegistryView64},
        {"HKU", 0, 0x80000003u},
        {"HKCC64", 0, 0x80000005u | kRegistryView64},
        {"HKCR", 0, kClassesRoot},
        {"hklm", 0, 0},
        {"HKLM16", 0, 0},
        {" 2147483649", 0, kCurrentUser},
    };
    for (const auto& row : rows)
        EXPECT_EQ(taskRegistryRoot(row.field, row.installationView), row.root) << row.field << " " << row.installationView;
}

}  // namespace
}  // namespace brindle
