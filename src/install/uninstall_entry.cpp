#include "install/uninstall_entry.h"

namespace brindle {

std::string uninstallEntryKey(const UninstallEntryInputs& inputs) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
           (!inputs.guid.empty() ? inputs.guid : inputs.progLink);
}

std::vector<RegistryValue> uninstallEntryValues(const UninstallEntryInputs& inputs) {
    return {
        {"DisplayName", inputs.titel + "  " + inputs.version},
        {"DisplayIcon", inputs.installDir + inputs.progExe},
        {"Publisher", inputs.author},
        {"URLInfoAbout", inputs.web},
        {"HelpLink", inputs.web},
        {"Contact", inputs.eMail},
        {"UninstallString", uninstallCommand(inputs.installDir)},
    };
}

std::string uninstallCommand(const std::string& installDir) {
    const std::string path = installDir + "uninstall.exe";
    return path.find(' ') != std::string::npos ? "\"" + path + "\"" : path;
}

}  // namespace brindle
