// Win32 side of the file layer, for the runtime: names in its 8-bit code
// page. The operations on open handles are in files_handles_win32.cpp.
#include <windows.h>

#include "toolkit/file_opening_win32.h"
#include "toolkit/files.h"
#include "toolkit/number_text.h"

namespace brindle {

std::string errorText(FileResult result) {
    if (result.error() == 0) return {};
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, result.error(),
                                  0, text, sizeof text, nullptr);
    if (length == 0) return "error " + paddedNumber(result.error(), 1);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.')) --length;
    return std::string(text, length);
}

FileResult InputFile::open(const std::string& path) {
    close();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileResult::lastError();
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return {};
}

std::intptr_t openForWriting(const std::string& path, DWORD disposition) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return reinterpret_cast<std::intptr_t>(file);
}

std::intptr_t openFolderToHold(const std::string& path, bool asItself) {
    HANDLE folder = CreateFileA(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | (asItself ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    return reinterpret_cast<std::intptr_t>(folder);
}

std::uint64_t HeldFolder::freeSpace() const {
    ULARGE_INTEGER available;
    return GetDiskFreeSpaceExA(path_.c_str(), &available, nullptr, nullptr) ? available.QuadPart : ~std::uint64_t(0);
}

bool pathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileResult createFolder(const std::string& path) { return resultOf(CreateDirectoryA(path.c_str(), nullptr)); }

namespace {
// The path the platform resolves `path` to (a link opened as itself, where
// the platform can do that); empty when it cannot tell.
std::string finalPath(const std::string& path) {
    constexpr DWORD kVolumeNameNt = 0x2;
    using FinalPath = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
    static const auto resolve = reinterpret_cast<FinalPath>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    if (resolve == nullptr) return {};
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    char buffer[1024];
    // The device form needs no drive-letter lookup through the mount manager.
    const DWORD length = resolve(file, buffer, sizeof buffer, kVolumeNameNt);
    CloseHandle(file);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}
}  // namespace

// True when `path` resolves to somewhere other than its own name in its
// folder: a link that the platform follows even when asked not to (as Wine
// does with the host's symbolic links). Deleting through such a name would
// delete its target, so it is left alone.
bool resolvesElsewhere(const std::string& path) {
    const std::size_t last = path.find_last_of('\\');
    if (last == std::string::npos || last == 0) return false;
    // A drive's root is "C:\", where "C:" would be the current folder on it.
    const std::string parent = path.substr(0, last);
    const std::string resolved = finalPath(path);
    std::string folder = finalPath(parent.size() == 2 && parent[1] == ':' ? parent + "\\" : parent);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    if (resolved.empty() || folder.empty()) return false;
    return lstrcmpiA(resolved.c_str(), (folder + path.substr(last)).c_str()) != 0;
}

FileResult listFolder(const std::string& folder, std::vector<FolderItem>& items) {
    items.clear();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND ? FileResult() : FileResult::lastError();
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        // Every reparse point counts as a link: none is ever entered.
        items.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || resolvesElsewhere(folder + name)});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return {};
}

bool isLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || resolvesElsewhere(path));
}

FileResult removeFile(const std::string& path) {
    if (resolvesElsewhere(path)) return FileResult::failure(ERROR_CANT_RESOLVE_FILENAME);
    if (DeleteFileA(path.c_str())) return {};
    const FileResult failed = FileResult::lastError();
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return failed;
    return resultOf(SetFileAttributesA(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)) &&
                    DeleteFileA(path.c_str()));
}

FileResult replaceFile(const std::string& source, const std::string& target) {
    return resultOf(MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING));
}

// RemoveDirectory unlinks a junction or folder link; it never enters one.
FileResult removeFolder(const std::string& path) {
    if (resolvesElsewhere(path)) return FileResult::failure(ERROR_CANT_RESOLVE_FILENAME);
    return resultOf(RemoveDirectoryA(path.c_str()));
}

}  // namespace brindle
