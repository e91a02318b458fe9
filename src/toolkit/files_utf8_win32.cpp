// Win32 side of the file layer for brindle-pack on Windows: paths are UTF-8,
// as on POSIX hosts, and reach the wide calls converted. (The runtime keeps
// files_win32.cpp, whose paths are in its 8-bit code page; both share
// files_handles_win32.cpp.)
#include <windows.h>

#include "toolkit/file_opening_win32.h"
#include "toolkit/files.h"

namespace brindle {

namespace {
// Invalid UTF-8 becomes U+FFFD, a name that matches no file made from Unicode.
std::wstring wide(const std::string& utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), size);
    return out;
}

std::string utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(size > 1 ? size : 1), '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.pop_back();  // the terminating zero
    return out;
}

DWORD attributesOf(const std::string& path) { return GetFileAttributesW(wide(path).c_str()); }

// The path the platform resolves `path` to (a link opened as itself, where
// the platform can do that), in the device form, which needs no drive-letter
// lookup; empty when it cannot tell.
std::wstring finalPath(const std::wstring& path) {
    HANDLE item = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (item == INVALID_HANDLE_VALUE) return {};
    std::wstring resolved(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(item, resolved.data(), DWORD(resolved.size()), VOLUME_NAME_NT);
    if (length >= resolved.size()) {
        resolved.resize(length);
        length = GetFinalPathNameByHandleW(item, resolved.data(), DWORD(resolved.size()), VOLUME_NAME_NT);
    }
    CloseHandle(item);
    return length > 0 && length < resolved.size() ? resolved.substr(0, length) : std::wstring();
}

}  // namespace

std::intptr_t openForWriting(const std::string& path, DWORD disposition) {
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return reinterpret_cast<std::intptr_t>(file);
}

std::intptr_t openFolderToHold(const std::string& path, bool asItself) {
    HANDLE folder = CreateFileW(wide(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | (asItself ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    return reinterpret_cast<std::intptr_t>(folder);
}

std::uint64_t HeldFolder::freeSpace() const {
    ULARGE_INTEGER available;
    return GetDiskFreeSpaceExW(wide(path_).c_str(), &available, nullptr, nullptr) ? available.QuadPart
                                                                                   : ~std::uint64_t(0);
}

std::string errorText(FileResult result) {
    if (result.error() == 0) return {};
    wchar_t text[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, result.error(),
                                  0, text, sizeof text / sizeof *text, nullptr);
    if (length == 0) return "error " + std::to_string(result.error());
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L'.')) --length;
    text[length] = L'\0';
    return utf8(text);
}

FileResult InputFile::open(const std::string& path) {
    close();
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileResult::lastError();
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return {};
}

bool resolvesElsewhere(const std::string& path) {
    const std::wstring name = wide(path);
    const std::size_t last = name.find_last_of(L'\\');
    if (last == std::wstring::npos || last == 0) return false;
    const std::wstring parent = name.substr(0, last);
    const std::wstring resolved = finalPath(name);
    std::wstring folder = finalPath(parent.size() == 2 && parent[1] == L':' ? parent + L"\\" : parent);
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    if (resolved.empty() || folder.empty()) return false;
    return lstrcmpiW(resolved.c_str(), (folder + name.substr(last)).c_str()) != 0;
}

bool pathExists(const std::string& path) { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }

bool isFolder(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileResult createFolder(const std::string& path) { return resultOf(CreateDirectoryW(wide(path).c_str(), nullptr)); }

FileResult listFolder(const std::string& folder, std::vector<FolderItem>& items) {
    items.clear();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide(folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND ? FileResult() : FileResult::lastError();
    do {
        const std::string name = utf8(found.cFileName);
        if (name == "." || name == "..") continue;
        // Every reparse point counts as a link: none is ever entered.
        items.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return {};
}

bool isLink(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

FileResult removeFile(const std::string& path) {
    const std::wstring name = wide(path);
    if (DeleteFileW(name.c_str())) return {};
    const FileResult failed = FileResult::lastError();
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return failed;
    return resultOf(SetFileAttributesW(name.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)) &&
                    DeleteFileW(name.c_str()));
}

FileResult replaceFile(const std::string& source, const std::string& target) {
    return resultOf(MoveFileExW(wide(source).c_str(), wide(target).c_str(), MOVEFILE_REPLACE_EXISTING));
}

// RemoveDirectory unlinks a junction or folder link; it never enters one.
FileResult removeFolder(const std::string& path) { return resultOf(RemoveDirectoryW(wide(path).c_str())); }

}  // namespace brindle
