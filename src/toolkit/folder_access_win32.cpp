#include "toolkit/folder_access_win32.h"

#include <sddl.h>

namespace brindle {

bool runsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) && elevation.TokenIsElevated;
    CloseHandle(token);
    return elevated;
}

namespace {
// The descriptor for a new folder: null (the inherited default) when not
// elevated or given no access. False when an elevated run cannot build it.
bool elevatedDescriptor(const char* access, PSECURITY_DESCRIPTOR& descriptor) {
    descriptor = nullptr;
    if (access == nullptr || !runsElevated()) return true;
    return ConvertStringSecurityDescriptorToSecurityDescriptorA(access, SDDL_REVISION_1, &descriptor, nullptr) != FALSE;
}
}  // namespace

bool createFolderWithAccess(const std::string& path, const char* access) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
    if (!elevatedDescriptor(access, security.lpSecurityDescriptor)) return false;
    const bool made = CreateDirectoryA(path.c_str(), &security) != FALSE;
    if (security.lpSecurityDescriptor != nullptr) LocalFree(security.lpSecurityDescriptor);
    return made;
}

std::string elevatedAccessText(const char* access) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!elevatedDescriptor(access, descriptor) || descriptor == nullptr) return {};
    char* text = nullptr;
    std::string readBack;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorA(
            descriptor, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, nullptr)) {
        readBack = text;
        LocalFree(text);
    }
    LocalFree(descriptor);
    return readBack;
}

}  // namespace brindle
