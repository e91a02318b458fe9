#include <windows.h>
#include <ntsecapi.h>
#include <sddl.h>

#include "toolkit/file_tree.h"
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

// The descriptor for a new folder: null (the inherited default) when not
// elevated. False when an elevated run cannot build it.
bool buildDescriptor(PSECURITY_DESCRIPTOR& descriptor) {
    descriptor = nullptr;
    if (!runsElevated()) return true;
    return ConvertStringSecurityDescriptorToSecurityDescriptorA(kElevatedAccess, SDDL_REVISION_1, &descriptor,
                                                                nullptr) != FALSE;
}
}  // namespace

bool createPrivateFolder(const std::string& path) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
    if (!buildDescriptor(security.lpSecurityDescriptor)) return false;
    // CreateDirectory fails on any existing name, which is what makes the
    // folder this run's own.
    const bool made = CreateDirectoryA(path.c_str(), &security) != FALSE;
    if (security.lpSecurityDescriptor != nullptr) LocalFree(security.lpSecurityDescriptor);
    return made;
}

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

std::string privateFolderAccess() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!buildDescriptor(descriptor) || descriptor == nullptr) return {};
    char* text = nullptr;
    std::string access;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
        access = text;
        LocalFree(text);
    }
    LocalFree(descriptor);
    return access;
}

}  // namespace brindle
