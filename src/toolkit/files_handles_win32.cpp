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
}  // namespace

InputFile::~InputFile() { close(); }

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

bool OutputFile::create(const std::string& path) {
    close();
    handle_ = openForWriting(path, CREATE_ALWAYS);
    return handle_ != kClosed;
}

bool OutputFile::createNew(const std::string& path) {
    close();
    handle_ = openForWriting(path, CREATE_NEW);
    return handle_ != kClosed;
}

bool OutputFile::truncateExisting(const std::string& path) {
    close();
    handle_ = openForWriting(path, TRUNCATE_EXISTING);
    return handle_ != kClosed;
}

bool OutputFile::write(const void* data, std::size_t length) {
    if (handle_ == kClosed) return false;
    std::size_t done = 0;
    while (done < length) {
        const DWORD want = length - done > 0x40000000 ? 0x40000000 : DWORD(length - done);
        DWORD put = 0;
        if (!WriteFile(asHandle(handle_), static_cast<const char*>(data) + done, want, &put, nullptr) || put == 0)
            return false;
        done += put;
    }
    return true;
}

bool OutputFile::setTimes(std::uint64_t created, std::uint64_t modified) {
    const FILETIME creation = asFiletime(created);
    const FILETIME lastWrite = asFiletime(modified);
    return handle_ != kClosed && SetFileTime(asHandle(handle_), &creation, nullptr, &lastWrite);
}

void OutputFile::close() {
    if (handle_ != kClosed) CloseHandle(asHandle(handle_));
    handle_ = kClosed;
}

}  // namespace brindle
