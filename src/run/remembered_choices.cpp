#include "run/remembered_choices.h"

#include "toolkit/registry.h"

namespace brindle {

std::string rememberedChoicesKey(const std::string& guid) { return "SOFTWARE\\Brindle\\" + guid; }

RememberedChoices readRememberedChoices(const std::string& guid) {
    const std::string key = rememberedChoicesKey(guid);
    return {readRegistryString(kCurrentUser, key, "InstallDir"), readRegistryString(kCurrentUser, key, "StartMenu"),
            readRegistryString(kCurrentUser, key, "DesktopIcon")};
}

void writeRememberedChoices(const std::string& guid, const RememberedChoices& choices) {
    if (guid.empty()) return;
    writeRegistryStrings(kCurrentUser, rememberedChoicesKey(guid),
                         {{"InstallDir", choices.installDir},
                          {"StartMenu", choices.startMenu},
                          {"DesktopIcon", choices.desktopIcon}});
}

}  // namespace brindle
