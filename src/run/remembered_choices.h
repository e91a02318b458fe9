#pragma once

#include <string>

namespace brindle {

// The choices an earlier install of the same application stored under the
// current user's "SOFTWARE\Brindle\" + GUID; empty texts where none was.
struct RememberedChoices {
    std::string installDir;
    std::string startMenu;
    std::string desktopIcon;
};

std::string rememberedChoicesKey(const std::string& guid);
RememberedChoices readRememberedChoices(const std::string& guid);
// Stores the choices of this install for the next run; nothing without a GUID.
void writeRememberedChoices(const std::string& guid, const RememberedChoices& choices);

}  // namespace brindle
