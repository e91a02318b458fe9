#include <windows.h>
#include <shlobj.h>

#include "install/shortcuts.h"

namespace brindle {

namespace {
// Balances the component library around one link, so nothing stays open
// between calls.
class ComponentLibrary {
public:
    ComponentLibrary() { CoInitialize(nullptr); }
    ~ComponentLibrary() { CoUninitialize(); }
    ComponentLibrary(const ComponentLibrary&) = delete;
    ComponentLibrary& operator=(const ComponentLibrary&) = delete;
};

std::wstring wideFromAnsi(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), int(wide.size()));
    return wide;
}
}  // namespace

bool createShortcut(const Shortcut& shortcut) {
    const std::string& iconFile = shortcut.iconFile == kTargetIcon ? shortcut.target : shortcut.iconFile;
    ComponentLibrary library;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    link->SetPath(shortcut.target.c_str());
    link->SetArguments("");
    link->SetWorkingDirectory(shortcut.workingFolder.c_str());
    link->SetDescription("");
    link->SetShowCmd(SW_SHOWNORMAL);
    link->SetHotkey(0);
    link->SetIconLocation(iconFile.c_str(), shortcut.iconIndex);
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        link->Release();
        return false;
    }
    file->Save(wideFromAnsi(shortcut.linkFile).c_str(), TRUE);
    file->Release();
    link->Release();
    return true;
}

}  // namespace brindle
