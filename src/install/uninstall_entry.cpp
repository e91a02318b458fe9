#include "install/uninstall_entry.h"

#include "toolkit/canonical_path.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
// Rounded up, so that a small installation does not show as 0 KB.
std::uint32_t kilobytes(std::uint64_t bytes) {
    const std::uint64_t rounded = (bytes + 1023) / 1024;
    return rounded > UINT32_MAX ? UINT32_MAX : std::uint32_t(rounded);
}
}  // namespace

std::string uninstallEntryKey(const std::string& guid, const std::string& progLink) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + (!guid.empty() ? guid : progLink);
}

std::vector<RegistryValue> uninstallEntryValues(const UninstallEntryInputs& inputs) {
    std::vector<RegistryValue> values = {
        {"DisplayName", inputs.titel + "  " + inputs.version},
        {"DisplayIcon", inputs.installDir + inputs.progExe},
        {"Publisher", inputs.author},
        {"URLInfoAbout", inputs.web},
        {"HelpLink", inputs.web},
        {"Contact", inputs.eMail},
        {"UninstallString", uninstallCommand(inputs.installDir)},
        {"DisplayVersion", inputs.version},
        numberValue("EstimatedSize", kilobytes(inputs.installedBytes)),
        {"InstallLocation", inputs.installDir},
        {"InstallDate", inputs.installDate},
        numberValue("NoModify", 1),
        numberValue("NoRepair", 1),
        {"QuietUninstallString", uninstallCommand(inputs.installDir) + " /S"},
    };
    if (inputs.registryView == kRegistryView64) values.push_back({"RegistryView", "64"});
    return values;
}

std::string uninstallCommand(const std::string& installDir) {
    const std::string path = installDir + "uninstall.exe";
    return path.find(' ') != std::string::npos ? "\"" + path + "\"" : path;
}

bool namesInstallation(const std::string& command, const std::string& installDir) {
    return samePathText(command, installDir + "uninstall.exe");
}

bool recordsTrusted(const std::string& fileHash, const std::string& entryHash, const std::string& entryCommand,
                    const std::string& installDir) {
    return !fileHash.empty() && foldCase(fileHash) == foldCase(entryHash) &&
           namesInstallation(entryCommand, installDir);
}

}  // namespace brindle
