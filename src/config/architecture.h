// 64-bit installations. The installer is one 32-bit program; on 64-bit
// Windows the system shows such a program the 32-bit program files folder,
// the 32-bit registry view and, for its file calls into the system folder,
// the 32-bit system folder. A 64-bit installation asks for the native ones.
#pragma once

#include <cstdint>
#include <string>

namespace brindle {

// [Settings] Architecture: empty or "x86" the 32-bit installation, "x64" a
// 64-bit one; any other value (the builder refuses it) counts as "x86".
enum class Architecture { X86, X64 };
bool readArchitecture(const std::string& setting, Architecture& architecture);
Architecture architectureOf(const std::string& setting);

// What an installation does on the Windows it runs on.
struct InstallPlatform {
    bool runs = true;                // false: it cannot run there at all
    bool nativeFiles = false;        // file calls bypass the redirection of the system folder
    std::uint32_t registryView = 0;  // added to every root it uses (see kRegistryView64); 0 the own view
};

// `windows64` counts every Windows that runs x64 programs (ARM64 too).
InstallPlatform installPlatform(Architecture architecture, bool windows64);

// The root of a registry task: the handle's decimal value (2147483650), or
// its short name HKCR, HKCU, HKLM, HKU or HKCC, which may end in 32 or 64
// for that view of the registry (HKLM32). Without a view the task writes in
// `installationView`. Any other text reads as a decimal number, as before.
std::uint32_t taskRegistryRoot(const std::string& field, std::uint32_t installationView);
// Whether `field` names a root by its short name; `root` receives it.
bool namedRegistryRoot(const std::string& field, std::uint32_t& root);

}  // namespace brindle
