#include "shortcut_reading.h"

#include <windows.h>
#include <shlobj.h>

namespace robot {

namespace {
std::string loadAndRead(IShellLinkA* link, const std::string& path) {
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) return {};
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    const bool loaded = SUCCEEDED(file->Load(wide, STGM_READ));
    file->Release();
    if (!loaded) return {};
    // Raw path: the link's target as stored, without resolving it.
    char target[MAX_PATH] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {};
    int index = 0;
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetWorkingDirectory(folder, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &index);
    return std::string(target) + "\n" + folder + "\n" + icon + "\n" + std::to_string(index) + "\n";
}
}  // namespace

Outcome readShortcut(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return failed("no file " + path);
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    std::string text;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        text = loadAndRead(link, path);
        link->Release();
    }
    CoUninitialize();
    return text.empty() ? failed("cannot read the link " + path) : succeeded(text);
}

}  // namespace robot
