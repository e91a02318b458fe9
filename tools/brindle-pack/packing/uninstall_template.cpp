#include "packing/uninstall_template.h"

#include <cstdio>

namespace brindle::tool {

std::string uninstallTemplate(const SetupSettings& settings, std::int32_t noDelAll,
                              const std::vector<std::string>& files) {
    std::string text =
        "; uninstall.dat template written by brindle-pack\r\n"
        "; the installer adds its groups below; the uninstaller reads them all\r\n";
    const auto line = [&](const std::string& key, const std::string& value) { text += key + " = " + value + "\r\n"; };
    text += "[Settings]\r\n";
    line("ProgName", settings.titel);
    line("Version", settings.version);
    line("NoDelAll", std::to_string(noDelAll));
    line("MutexString", settings.mutexString);
    text += "[Files]\r\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        char key[24];
        std::snprintf(key, sizeof key, "F%03zu", i + 1);
        line(key, files[i]);
    }
    return text;
}

}  // namespace brindle::tool
