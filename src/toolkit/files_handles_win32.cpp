// The Win32 file layer's operations on an open handle, and the ways of
// opening one for writing, shared by the runtime (8-bit names) and the
// Windows tool (UTF-8 names), which differ only in how they open files and
// name folders.
#include <windows.h>

#include "toolkit/file_opening_win32.h"
#include "toolkit/files.h"

namespace brindle {

namespace {
HANDLE asHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }

FILETIME asFiletime(std::uint64_t value) {
    FILETIME time;
    time.dwLowDateTime = DWORD(value);
    time.dwHighDateTime = DWORD(value >> 32);
    return time;
}

FileResult opened(std::intptr_t handle) {
    return asHandle(handle) != INVALID_HANDLE_VALUE ? FileResult() : FileResult::lastError();
}
}  // namespace

FileResult FileResult::lastError() { return failure(GetLastError()); }

FileResult resultOf(BOOL succeeded) { return succeeded ? FileResult() : FileResult::lastError(); }

InputFile::~InputFile() { close(); }

HeldFolder::~HeldFolder() { close(); }

HeldFolder::HeldFolder(HeldFolder&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
    other.handle_ = kClosed;
}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = kClosed;
        path_ = std::move(other.path_);
    }
    return *this;
}

void HeldFolder::close() {
    if (handle_ != kClosed) CloseHandle(asHandle(handle_));
    handle_ = kClosed;
    path_.clear();
}

FileResult HeldFolder::open(const std::string& path) {
    close();
    path_ = path.empty() || path.back() == '\\' ? path : path + "\\";
    handle_ = openFolderToHold(path_, false);
    if (handle_ != kClosed) return {};
    const FileResult failed = FileResult::lastError();
    path_.clear();
    return failed;
}

HeldFolder::Opened HeldFolder::openChild(const HeldFolder& parent, const std::string& name) {
    close();
    if (parent.handle_ == kClosed) return {Opened::Failed, FileResult::failure(ERROR_INVALID_HANDLE)};
    const std::string path = parent.path_ + name;
    // An existing name is opened and judged below; a folder that could not
    // be made for another reason is that reason.
    const FileResult made = createFolder(path);
    const bool mayExist = made || made.error() == ERROR_ALREADY_EXISTS;
    const HANDLE folder = asHandle(openFolderToHold(path, true));
    if (folder == INVALID_HANDLE_VALUE) return {Opened::Failed, mayExist ? FileResult::lastError() : made};
    BY_HANDLE_FILE_INFORMATION info;
    Opened opened{Opened::Yes, {}};
    if (!GetFileInformationByHandle(folder, &info)) opened = {Opened::Failed, FileResult::lastError()};
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) opened = {Opened::Link, {}};
    else if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        opened = {Opened::Failed, FileResult::failure(ERROR_DIRECTORY)};
    else if (resolvesElsewhere(path)) opened = {Opened::Link, {}};
    if (opened.kind != Opened::Yes) {
        CloseHandle(folder);
        return opened;
    }
    handle_ = reinterpret_cast<std::intptr_t>(folder);
    path_ = path + "\\";
    return opened;
}

void InputFile::close() {
    if (handle_ != kClosed) CloseHandle(asHandle(handle_));
    handle_ = kClosed;
}

std::int64_t InputFile::size() const {
    LARGE_INTEGER length;
    if (handle_ == kClosed || !GetFileSizeEx(asHandle(handle_), &length)) return -1;
    return length.QuadPart;
}

std::uint64_t InputFile::lastWriteTime() const {
    FILETIME written;
    if (handle_ == kClosed || !GetFileTime(asHandle(handle_), nullptr, nullptr, &written)) return 0;
    return std::uint64_t(written.dwHighDateTime) << 32 | written.dwLowDateTime;
}

bool InputFile::seek(std::uint64_t offset) {
    LARGE_INTEGER target;
    target.QuadPart = LONGLONG(offset);
    return handle_ != kClosed && SetFilePointerEx(asHandle(handle_), target, nullptr, FILE_BEGIN);
}

std::size_t InputFile::read(void* buffer, std::size_t length) {
    if (handle_ == kClosed) return 0;
    std::size_t done = 0;
    while (done < length) {
        const DWORD want = length - done > 0x40000000 ? 0x40000000 : DWORD(length - done);
        DWORD got = 0;
        if (!ReadFile(asHandle(handle_), static_cast<char*>(buffer) + done, want, &got, nullptr) || got == 0) break;
        done += got;
    }
    return done;
}

OutputFile::~OutputFile() { close(); }

FileResult OutputFile::create(const std::string& path) {
    close();
    handle_ = openForWriting(path, CREATE_ALWAYS);
    return opened(handle_);
}

FileResult OutputFile::createNew(const std::string& path) {
    close();
    handle_ = openForWriting(path, CREATE_NEW);
    return opened(handle_);
}

FileResult OutputFile::truncateExisting(const std::string& path) {
    close();
    handle_ = openForWriting(path, TRUNCATE_EXISTING);
    if (handle_ == kClosed) return FileResult::lastError();
    // A link is opened as itself: there is nothing of it to write in place.
    BY_HANDLE_FILE_INFORMATION info;
    FileResult usable = resultOf(GetFileInformationByHandle(asHandle(handle_), &info));
    if (usable && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        usable = FileResult::failure(ERROR_CANT_RESOLVE_FILENAME);
    if (!usable) close();
    return usable;
}

FileResult OutputFile::write(const void* data, std::size_t length) {
    if (handle_ == kClosed) return FileResult::failure(ERROR_INVALID_HANDLE);
    std::size_t done = 0;
    while (done < length) {
        const DWORD want = length - done > 0x40000000 ? 0x40000000 : DWORD(length - done);
        DWORD put = 0;
        if (!WriteFile(asHandle(handle_), static_cast<const char*>(data) + done, want, &put, nullptr))
            return FileResult::lastError();
        if (put == 0) return FileResult::failure(ERROR_DISK_FULL);  // nothing taken, nothing said: no room
        done += put;
    }
    return {};
}

FileResult OutputFile::setTimes(std::uint64_t created, std::uint64_t modified) {
    if (handle_ == kClosed) return FileResult::failure(ERROR_INVALID_HANDLE);
    const FILETIME creation = asFiletime(created);
    const FILETIME lastWrite = asFiletime(modified);
    return resultOf(SetFileTime(asHandle(handle_), &creation, nullptr, &lastWrite));
}

void OutputFile::close() {
    if (handle_ != kClosed) CloseHandle(asHandle(handle_));
    handle_ = kClosed;
}

}  // namespace brindle
