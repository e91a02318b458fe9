#include <windows.h>
#include <ntsecapi.h>

#include "toolkit/file_tree.h"
#include "toolkit/folder_access_win32.h"
#include "toolkit/number_text.h"
#include "toolkit/private_folder.h"

namespace brindle {

namespace {
constexpr int kAttempts = 16;

bool randomName(std::string& name) {
    unsigned char random[8];
    if (!RtlGenRandom(random, sizeof random)) return false;
    name = "Brindle-";
    for (unsigned char byte : random) name += paddedNumber(byte, 2, 16);
    return true;
}

// Full control for Administrators and SYSTEM, inherited by everything below;
// nothing inherited from the folder above.
constexpr char kElevatedAccess[] = "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
}  // namespace

// Failing on any existing name is what makes the folder this run's own.
bool createPrivateFolder(const std::string& path) { return createFolderWithAccess(path, kElevatedAccess); }

std::string createFreshPrivateFolder(const std::string& parent) {
    if (parent.empty()) return {};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string name;
        if (!randomName(name)) return {};
        const std::string path = parent + name;
        if (createPrivateFolder(path)) return path + "\\";
    }
    return {};
}

ScopedPrivateFolder::ScopedPrivateFolder(const std::string& parent) : path_(createFreshPrivateFolder(parent)) {
    if (path_.empty()) return;
    HANDLE folder = CreateFileA(path_.substr(0, path_.size() - 1).c_str(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folder != INVALID_HANDLE_VALUE) held_ = reinterpret_cast<std::intptr_t>(folder);
}

void ScopedPrivateFolder::release() {
    if (held_ != kNotHeld) CloseHandle(reinterpret_cast<HANDLE>(held_));
    held_ = kNotHeld;
}

void ScopedPrivateFolder::remove() {
    if (path_.empty()) return;
    // Emptied while still held, so that nothing can take its place meanwhile.
    removeFolderContents(path_);
    release();
    removeTree(path_);
    path_.clear();
}

void ScopedPrivateFolder::keep() {
    release();
    path_.clear();
}

std::string privateFolderAccess() { return elevatedAccessText(kElevatedAccess); }

}  // namespace brindle
