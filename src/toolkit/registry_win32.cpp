#include <windows.h>

#include "toolkit/registry.h"

namespace brindle {

namespace {
HKEY asRoot(std::uint32_t root) { return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(root)); }
}  // namespace

std::string readRegistryString(std::uint32_t root, const std::string& key, const std::string& name) {
    HKEY opened;
    if (RegOpenKeyExA(asRoot(root), key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return {};
    char buffer[255];
    DWORD size = sizeof buffer;
    const LONG status =
        RegQueryValueExA(opened, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(opened);
    // The stored size counts the terminating NUL.
    if (status != ERROR_SUCCESS || size == 0) return {};
    return std::string(buffer, size - 1);
}

bool writeRegistryStrings(std::uint32_t root, const std::string& key, const std::vector<RegistryValue>& values) {
    HKEY opened;
    if (RegCreateKeyA(asRoot(root), key.c_str(), &opened) != ERROR_SUCCESS) return false;
    for (const RegistryValue& value : values)
        RegSetValueExA(opened, value.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                       DWORD(value.text.size() + 1));
    RegCloseKey(opened);
    return true;
}

}  // namespace brindle
