#include "install/remembered_choices.h"

namespace brindle {

RememberedChoices readRememberedChoices(const std::string& guid) {
    const std::string key = rememberedChoicesKey(guid);
    return {readRegistryString(kCurrentUser, key, "InstallDir"), readRegistryString(kCurrentUser, key, "StartMenu"),
            readRegistryString(kCurrentUser, key, "DesktopIcon")};
}

}  // namespace brindle
