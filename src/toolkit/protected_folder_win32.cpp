#include "toolkit/protected_folder.h"

#include <windows.h>

#include "toolkit/file_paths.h"
#include "toolkit/files.h"
#include "toolkit/folder_access_win32.h"

namespace brindle {

namespace {
constexpr char kProtectedAccess[] = "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

// What lets someone put or replace files in a folder, or take it over.
constexpr DWORD kChangingRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER;

// This user's token with the Administrators group for denying only: the
// rights of the same user unelevated, and of the groups every user is in.
HANDLE ordinaryUserToken() {
    HANDLE process = nullptr, restricted = nullptr, user = nullptr;
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof administrators;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &sidSize) ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &process))
        return nullptr;
    SID_AND_ATTRIBUTES denied{administrators, 0};
    if (CreateRestrictedToken(process, 0, 1, &denied, 0, nullptr, 0, nullptr, &restricted)) {
        if (!DuplicateToken(restricted, SecurityIdentification, &user)) user = nullptr;
        CloseHandle(restricted);
    }
    CloseHandle(process);
    return user;
}

// True when ordinary users may change `folder`; also when that cannot be
// told, so that doubt protects.
bool ordinaryUsersMayChange(const std::string& folder) {
    constexpr SECURITY_INFORMATION kParts =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    alignas(8) BYTE descriptor[4096];  // far more than a folder's descriptor takes
    DWORD size = 0;
    if (!GetFileSecurityA(folder.c_str(), kParts, descriptor, sizeof descriptor, &size)) return true;
    const HANDLE user = ordinaryUserToken();
    if (user == nullptr) return true;
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    PRIVILEGE_SET privileges;
    DWORD privilegesSize = sizeof privileges, granted = 0;
    BOOL allowed = FALSE;
    const bool checked = AccessCheck(descriptor, user, MAXIMUM_ALLOWED, &mapping, &privileges, &privilegesSize,
                                     &granted, &allowed) != FALSE;
    CloseHandle(user);
    return !checked || (allowed && (granted & kChangingRights) != 0);
}

}  // namespace

FileResult createProtectedFolderChain(const std::string& path) {
    if (isFolder(path)) return {};
    // The first folder of the chain that is missing, and the one above it.
    std::string first, above = path;
    do {
        first = above;
        above.erase(above.find_last_of('\\', above.size() - 2) + 1);
    } while (!above.empty() && !isFolder(above));
    if (!above.empty())
        createFolderWithAccess(first, runsElevated() && ordinaryUsersMayChange(above) ? kProtectedAccess : nullptr);
    return createFolderChain(path);
}

std::string protectedFolderAccess() { return elevatedAccessText(kProtectedAccess); }

}  // namespace brindle
