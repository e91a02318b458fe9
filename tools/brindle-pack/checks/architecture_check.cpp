#include "checks/architecture_check.h"

#include <fstream>

#include "checks/diagnostics.h"
#include "config/architecture.h"
#include "project/project.h"

namespace brindle::tool {

namespace {
constexpr std::uint16_t kMachineX64 = 0x8664;
constexpr std::uint16_t kMachineArm64 = 0xAA64;
// Enough for the headers of every image a linker writes; an image whose
// headers start further on is taken for none.
constexpr std::size_t kHeadSize = 4096;

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | std::uint8_t(bytes[at + std::size_t(i)]);
    return value;
}

std::string headOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(kHeadSize, '\0');
    in.read(head.data(), std::streamsize(head.size()));
    head.resize(std::size_t(in.gcount()));
    return head;
}

// The first of the application's files that is a 64-bit image; empty when none is.
std::string first64BitImage(const Project& project) {
    for (const TreeItem& item : project.applicationItems)
        if (!item.isFolder && item.size >= 64 && is64BitMachine(imageMachine(headOf(item.hostPath))))
            return item.packageName;
    return {};
}
}  // namespace

std::uint16_t imageMachine(const std::string& head) {
    if (head.size() < 64 || head.compare(0, 2, "MZ") != 0) return 0;
    const std::uint32_t signature = littleEndian(head, 0x3C, 4);
    if (signature > head.size() - 6 || head.compare(signature, 4, std::string("PE\0\0", 4)) != 0) return 0;
    return std::uint16_t(littleEndian(head, signature + 4, 2));
}

bool is64BitMachine(std::uint16_t machine) { return machine == kMachineX64 || machine == kMachineArm64; }

void checkArchitecture(const Project& project, Diagnostics& diagnostics) {
    const std::string& setting = project.settings.architecture;
    const std::string file = project.settingsName();
    const int line = project.lines.lineOf("Settings", "Architecture");
    Architecture architecture = Architecture::X86;
    if (!readArchitecture(setting, architecture)) {
        diagnostics.error(file, line, "Architecture is x86 or x64 (lower case), not \"" + setting +
                                          "\"; the installer takes it as x86");
        return;
    }
    const std::string image = first64BitImage(project);
    if (architecture == Architecture::X64 && image.empty())
        diagnostics.warning(file, line, "Architecture is x64, but the application (" + project.applicationName() +
                                            ") holds no 64-bit program");
    else if (setting.empty() && !image.empty())
        diagnostics.warning(file, line, image + " is a 64-bit program, but the installation is a 32-bit one: "
                                            "set [Settings] Architecture = x64 to install it into the native "
                                            "program files folder and registry");
}

}  // namespace brindle::tool
