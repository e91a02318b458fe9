#include <windows.h>
#include <ntsecapi.h>

#include <cstdio>

#include "run/work_directory.h"
#include "toolkit/file_tree.h"
#include "toolkit/private_folder.h"

namespace brindle {

namespace {
constexpr int kAttempts = 16;

// Open without delete sharing, the folder can be neither renamed nor
// replaced by a link until the run lets it go.
HANDLE heldFolder = INVALID_HANDLE_VALUE;

bool randomName(std::string& name) {
    unsigned char random[8];
    if (!RtlGenRandom(random, sizeof random)) return false;
    char digits[2 * sizeof random + 1];
    for (std::size_t i = 0; i < sizeof random; ++i) std::snprintf(digits + 2 * i, 3, "%02X", random[i]);
    name = std::string("Brindle-") + digits;
    return true;
}

void holdFolder(const std::string& path) {
    heldFolder = CreateFileA(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

void releaseFolder() {
    if (heldFolder != INVALID_HANDLE_VALUE) CloseHandle(heldFolder);
    heldFolder = INVALID_HANDLE_VALUE;
}
}  // namespace

std::string createWorkDirectory(const std::string& temporaryFolder) {
    if (temporaryFolder.empty()) return {};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string name;
        if (!randomName(name)) return {};
        const std::string path = temporaryFolder + name;
        if (createPrivateFolder(path)) {
            holdFolder(path);
            return path + "\\";
        }
    }
    return {};
}

void removeWorkDirectory(const std::string& workDirectory) {
    if (workDirectory.empty()) return;
    emptyFolder(workDirectory);
    releaseFolder();
    removeTree(workDirectory);
}

}  // namespace brindle
