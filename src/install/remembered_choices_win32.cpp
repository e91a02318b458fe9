#include "install/remembered_choices.h"

namespace brindle {

RememberedChoices readRememberedChoices(const std::string& guid, std::uint32_t registryView) {
    const std::string key = rememberedChoicesKey(guid);
    const std::uint32_t root = kCurrentUser | registryView;
    return {readRegistryString(root, key, "InstallDir"), readRegistryString(root, key, "StartMenu"),
            readRegistryString(root, key, "DesktopIcon")};
}

}  // namespace brindle
