#include "uninstall_template.h"

#include <cstdio>

namespace brindle::tool {

std::string uninstallTemplate(const SetupSettings& settings, std::int32_t noDelAll,
                              const std::vector<std::string>& files) {
    std::string text =
        "; uninstall.dat template written by brindle-pack\r\n"
        "; the installer adds its groups below; the uninstaller reads them all\r\n"
        "[Settings]\r\n"
        "ProgName = " + settings.titel + "\r\n"
        "Version = " + settings.version + "\r\n"
        "NoDelAll = " + std::to_string(noDelAll) + "\r\n"
        "MutexString = " + settings.mutexString + "\r\n"
        "[Files]\r\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        char key[24];
        std::snprintf(key, sizeof key, "F%03zu", i + 1);
        text += std::string(key) + " = " + files[i] + "\r\n";
    }
    return text;
}

}  // namespace brindle::tool
