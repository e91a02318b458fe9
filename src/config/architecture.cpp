#include "config/architecture.h"

#include "config/decimal.h"
#include "toolkit/registry.h"

namespace brindle {

namespace {
struct RootName {
    const char* name;
    std::uint32_t handle;
};
constexpr RootName kRootNames[] = {
    {"HKCR", kClassesRoot}, {"HKCU", kCurrentUser}, {"HKLM", kLocalMachine}, {"HKU", 0x80000003u}, {"HKCC", 0x80000005u},
};
}  // namespace

bool readArchitecture(const std::string& setting, Architecture& architecture) {
    if (setting.empty() || setting == "x86") architecture = Architecture::X86;
    else if (setting == "x64") architecture = Architecture::X64;
    else return false;
    return true;
}

Architecture architectureOf(const std::string& setting) {
    Architecture architecture = Architecture::X86;
    return readArchitecture(setting, architecture) ? architecture : Architecture::X86;
}

InstallPlatform installPlatform(Architecture architecture, bool windows64) {
    if (architecture == Architecture::X86) return {};
    if (!windows64) return {false};
    return {true, true, kRegistryView64};
}

bool namedRegistryRoot(const std::string& field, std::uint32_t& root) {
    for (const RootName& name : kRootNames) {
        const std::string prefix = name.name;
        if (field.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string view = field.substr(prefix.size());
        if (view.empty() || view == "32" || view == "64") {
            root = name.handle | (view == "64" ? kRegistryView64 : view == "32" ? kRegistryView32 : 0);
            return true;
        }
    }
    return false;
}

std::uint32_t taskRegistryRoot(const std::string& field, std::uint32_t installationView) {
    std::uint32_t root = 0;
    if (!namedRegistryRoot(field, root)) root = std::uint32_t(parseDecimal(field));
    return (root & kRegistryViews) != 0 ? root : root | installationView;
}

}  // namespace brindle
