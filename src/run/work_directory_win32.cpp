#include <windows.h>

#include "run/work_directory.h"
#include "toolkit/file_tree.h"
#include "toolkit/private_folder.h"

namespace brindle {

namespace {
// Open without delete sharing, the folder can be neither renamed nor
// replaced by a link until the run lets it go.
HANDLE heldFolder = INVALID_HANDLE_VALUE;

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
    const std::string folder = createFreshPrivateFolder(temporaryFolder);
    if (!folder.empty()) holdFolder(folder.substr(0, folder.size() - 1));
    return folder;
}

void removeWorkDirectory(const std::string& workDirectory) {
    if (workDirectory.empty()) return;
    removeFolderContents(workDirectory);
    releaseFolder();
    removeTree(workDirectory);
}

}  // namespace brindle
