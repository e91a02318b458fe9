// The choices an earlier install of the same application stored under the
// current user's "SOFTWARE\Brindle\" + GUID, offered again by the next run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/registry.h"

namespace brindle {

// Empty texts where none was stored.
struct RememberedChoices {
    std::string installDir;
    std::string startMenu;
    std::string desktopIcon;
};

inline std::string rememberedChoicesKey(const std::string& guid) { return "SOFTWARE\\Brindle\\" + guid; }

inline std::vector<RegistryValue> rememberedChoicesValues(const RememberedChoices& choices) {
    return {{"InstallDir", choices.installDir}, {"StartMenu", choices.startMenu}, {"DesktopIcon", choices.desktopIcon}};
}

// Read in `registryView`, the installation's.
RememberedChoices readRememberedChoices(const std::string& guid, std::uint32_t registryView);

}  // namespace brindle
