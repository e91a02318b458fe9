#include <windows.h>

#include <cstring>

#include "toolkit/registry.h"
#include "toolkit/system_libraries.h"

namespace brindle {

namespace {
HKEY asRoot(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(root & ~kRegistryViews));
}

// The access asked for, in the root's view.
REGSAM inView(std::uint32_t root, REGSAM access) { return access | (root & kRegistryViews); }
}  // namespace

std::string readRegistryString(std::uint32_t root, const std::string& key, const std::string& name) {
    HKEY opened;
    if (RegOpenKeyExA(asRoot(root), key.c_str(), 0, inView(root, KEY_READ), &opened) != ERROR_SUCCESS) return {};
    char buffer[255];
    DWORD size = sizeof buffer;
    DWORD type = REG_NONE;
    const LONG status =
        RegQueryValueExA(opened, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(opened);
    // Numbers and binary data are no text, whatever their bytes look like.
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) return {};
    // The stored size counts the terminating NUL, when the writer stored one.
    return std::string(buffer, strnlen(buffer, size));
}

bool registryKeyExists(std::uint32_t root, const std::string& key) {
    HKEY opened;
    if (RegOpenKeyExA(asRoot(root), key.c_str(), 0, inView(root, KEY_READ), &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

bool writeRegistryStrings(std::uint32_t root, const std::string& key, const std::vector<RegistryValue>& values) {
    HKEY opened;
    if (RegCreateKeyExA(asRoot(root), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        inView(root, KEY_WRITE | KEY_READ), nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    for (const RegistryValue& value : values) {
        if (value.isNumber) {
            const DWORD number = value.number;
            RegSetValueExA(opened, value.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                           sizeof number);
        } else {
            RegSetValueExA(opened, value.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                           DWORD(value.text.size() + 1));
        }
    }
    RegCloseKey(opened);
    return true;
}

namespace {
bool isGone(LONG status) { return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND; }

// A key of one view goes through RegDeleteKeyExA, which older systems lack:
// looked up, and there only where a view is named.
LONG deleteKey(std::uint32_t root, const std::string& key) {
    if ((root & kRegistryViews) == 0) return RegDeleteKeyA(asRoot(root), key.c_str());
    using DeleteInView = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    const auto deleteInView = libraryFunction<DeleteInView>(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA");
    if (deleteInView == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
    return deleteInView(asRoot(root), key.c_str(), inView(root, 0), 0);
}
}  // namespace

bool deleteRegistryValue(std::uint32_t root, const std::string& key, const std::string& name) {
    HKEY opened;
    const LONG status = RegOpenKeyExA(asRoot(root), key.c_str(), 0, inView(root, KEY_SET_VALUE), &opened);
    if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND;
    const bool gone = isGone(RegDeleteValueA(opened, name.c_str()));
    RegCloseKey(opened);
    return gone;
}

bool deleteRegistryKeyIfEmpty(std::uint32_t root, const std::string& key) {
    HKEY opened;
    const LONG status = RegOpenKeyExA(asRoot(root), key.c_str(), 0, inView(root, KEY_READ), &opened);
    if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND;
    DWORD keys = 0, values = 0;
    const bool counted = RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr,
                                          nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(opened);
    if (!counted) return false;
    return keys != 0 || values != 0 || isGone(deleteKey(root, key));
}

bool deleteRegistryKey(std::uint32_t root, const std::string& key) { return isGone(deleteKey(root, key)); }

}  // namespace brindle
