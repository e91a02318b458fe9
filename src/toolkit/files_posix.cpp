// POSIX side of the file layer, for the native tools and unit tests.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "toolkit/files.h"

namespace brindle {

namespace {

std::string posixPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// FILETIME counts 100 ns ticks from 1601; POSIX seconds from 1970. The ticks
// are split into seconds while still unsigned, as a package may carry any
// 64-bit value and one above the signed range must not overflow.
constexpr std::uint64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kUnixEpochAfter1601 = 11644473600LL;  // seconds

timespec toTimespec(std::uint64_t filetime) {
    timespec value{};
    value.tv_sec = time_t(std::int64_t(filetime / kTicksPerSecond) - kUnixEpochAfter1601);
    value.tv_nsec = long(filetime % kTicksPerSecond * 100);
    return value;
}

}  // namespace

InputFile::~InputFile() { close(); }

bool InputFile::open(const std::string& path) {
    close();
    const int fd = ::open(posixPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info{};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

void InputFile::close() {
    if (handle_ != kClosed) ::close(int(handle_));
    handle_ = kClosed;
}

std::int64_t InputFile::size() const {
    struct stat info{};
    if (handle_ == kClosed || fstat(int(handle_), &info) != 0) return -1;
    return std::int64_t(info.st_size);
}

bool InputFile::seek(std::uint64_t offset) {
    return handle_ != kClosed && lseek(int(handle_), off_t(offset), SEEK_SET) == off_t(offset);
}

std::size_t InputFile::read(void* buffer, std::size_t length) {
    if (handle_ == kClosed) return 0;
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::read(int(handle_), static_cast<char*>(buffer) + done, length - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += std::size_t(got);
    }
    return done;
}

OutputFile::~OutputFile() { close(); }

namespace {
// Opens for writing, never through a link; -1 (the closed handle) when refused.
std::intptr_t openForWriting(const std::string& path, int flags) {
    return ::open(posixPath(path).c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | flags, 0644);
}
}  // namespace

bool OutputFile::create(const std::string& path) {
    close();
    handle_ = openForWriting(path, O_CREAT | O_TRUNC);
    return handle_ != kClosed;
}

bool OutputFile::createNew(const std::string& path) {
    close();
    handle_ = openForWriting(path, O_CREAT | O_EXCL);
    return handle_ != kClosed;
}

bool OutputFile::truncateExisting(const std::string& path) {
    close();
    handle_ = openForWriting(path, O_TRUNC);
    return handle_ != kClosed;
}

bool OutputFile::write(const void* data, std::size_t length) {
    if (handle_ == kClosed) return false;
    std::size_t done = 0;
    while (done < length) {
        const ssize_t put = ::write(int(handle_), static_cast<const char*>(data) + done, length - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += std::size_t(put);
    }
    return true;
}

bool OutputFile::setTimes(std::uint64_t /*created*/, std::uint64_t modified) {
    if (handle_ == kClosed) return false;
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // the last-access time is left alone
    times[1] = toTimespec(modified);
    return futimens(int(handle_), times) == 0;
}

void OutputFile::close() {
    if (handle_ != kClosed) ::close(int(handle_));
    handle_ = kClosed;
}

bool pathExists(const std::string& path) {
    struct stat info{};
    return lstat(posixPath(path).c_str(), &info) == 0;
}

bool isFolder(const std::string& path) {
    struct stat info{};
    return stat(posixPath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool createFolder(const std::string& path) {
    return mkdir(posixPath(path).c_str(), 0755) == 0;
}

bool listFolder(const std::string& folder, std::vector<FolderItem>& items) {
    items.clear();
    DIR* listing = opendir(posixPath(folder).c_str());
    if (listing == nullptr) return false;
    while (const dirent* found = readdir(listing)) {
        const std::string name = found->d_name;
        if (name == "." || name == "..") continue;
        struct stat info{};
        if (lstat(posixPath(folder + name).c_str(), &info) != 0) continue;
        items.push_back({name, S_ISDIR(info.st_mode), S_ISLNK(info.st_mode)});
    }
    closedir(listing);
    return true;
}

bool isLink(const std::string& path) {
    struct stat info{};
    return lstat(posixPath(path).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool removeFile(const std::string& path) { return unlink(posixPath(path).c_str()) == 0; }

bool replaceFile(const std::string& source, const std::string& target) {
    return rename(posixPath(source).c_str(), posixPath(target).c_str()) == 0;
}

bool removeFolder(const std::string& path) {
    return (isLink(path) ? unlink(posixPath(path).c_str()) : rmdir(posixPath(path).c_str())) == 0;
}

}  // namespace brindle
