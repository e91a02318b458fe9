// POSIX side of the file layer, for the native tools and unit tests.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

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

// The outcome of a call that returns 0 on success.
FileResult resultOf(int status) { return status == 0 ? FileResult() : FileResult::lastError(); }

}  // namespace

FileResult FileResult::lastError() { return failure(std::uint32_t(errno)); }

std::string errorText(FileResult result) {
    if (result.error() == 0) return {};
    return std::strerror(int(result.error()));
}

InputFile::~InputFile() { close(); }

FileResult InputFile::open(const std::string& path) {
    close();
    const int fd = ::open(posixPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FileResult::lastError();
    struct stat info{};
    if (fstat(fd, &info) != 0) {
        const FileResult failed = FileResult::lastError();
        ::close(fd);
        return failed;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return FileResult::failure(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    }
    handle_ = fd;
    return {};
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

std::uint64_t InputFile::lastWriteTime() const {
    struct stat info{};
    if (handle_ == kClosed || fstat(int(handle_), &info) != 0) return 0;
    return std::uint64_t(info.st_mtim.tv_sec + kUnixEpochAfter1601) * kTicksPerSecond +
           std::uint64_t(info.st_mtim.tv_nsec) / 100;
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

FileResult OutputFile::create(const std::string& path) {
    close();
    handle_ = openForWriting(path, O_CREAT | O_TRUNC);
    return handle_ != kClosed ? FileResult() : FileResult::lastError();
}

FileResult OutputFile::createNew(const std::string& path) {
    close();
    handle_ = openForWriting(path, O_CREAT | O_EXCL);
    return handle_ != kClosed ? FileResult() : FileResult::lastError();
}

FileResult OutputFile::truncateExisting(const std::string& path) {
    close();
    handle_ = openForWriting(path, O_TRUNC);
    return handle_ != kClosed ? FileResult() : FileResult::lastError();
}

FileResult OutputFile::write(const void* data, std::size_t length) {
    if (handle_ == kClosed) return FileResult::failure(EBADF);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t put = ::write(int(handle_), static_cast<const char*>(data) + done, length - done);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return FileResult::lastError();
        if (put == 0) return FileResult::failure(ENOSPC);  // nothing taken, nothing said: no room
        done += std::size_t(put);
    }
    return {};
}

FileResult OutputFile::setTimes(std::uint64_t /*created*/, std::uint64_t modified) {
    if (handle_ == kClosed) return FileResult::failure(EBADF);
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // the last-access time is left alone
    times[1] = toTimespec(modified);
    return resultOf(futimens(int(handle_), times));
}

void OutputFile::close() {
    if (handle_ != kClosed) ::close(int(handle_));
    handle_ = kClosed;
}

HeldFolder::~HeldFolder() { close(); }

HeldFolder::HeldFolder(HeldFolder&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)), path_(std::move(other.path_)) {}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kClosed);
        path_ = std::move(other.path_);
    }
    return *this;
}

void HeldFolder::close() {
    if (handle_ != kClosed) ::close(int(handle_));
    handle_ = kClosed;
    path_.clear();
}

namespace {
// The open folder's own name in the process's table of open files: paths
// through it reach that very folder, never whatever holds its name now.
std::string heldPath(int folder) { return "/proc/self/fd/" + std::to_string(folder) + "\\"; }
}  // namespace

FileResult HeldFolder::open(const std::string& path) {
    close();
    const int folder = ::open(posixPath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return FileResult::lastError();
    handle_ = folder;
    path_ = heldPath(folder);
    return {};
}

HeldFolder::Opened HeldFolder::openChild(const HeldFolder& parent, const std::string& name) {
    close();
    if (parent.handle_ == kClosed) return {Opened::Failed, FileResult::failure(EBADF)};
    const int at = int(parent.handle_);
    // An existing name is opened and judged below; a folder that could not
    // be made for another reason is that reason.
    const FileResult made = resultOf(mkdirat(at, name.c_str(), 0755));
    const bool mayExist = made || made.error() == EEXIST;
    const int folder = openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        const FileResult failed = mayExist ? FileResult::lastError() : made;
        struct stat info{};
        if (fstatat(at, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode))
            return {Opened::Link, {}};
        return {Opened::Failed, failed};
    }
    handle_ = folder;
    path_ = heldPath(folder);
    return {Opened::Yes, {}};
}

std::uint64_t HeldFolder::freeSpace() const {
    struct statvfs volume{};
    if (handle_ == kClosed || fstatvfs(int(handle_), &volume) != 0) return std::numeric_limits<std::uint64_t>::max();
    return std::uint64_t(volume.f_bavail) * volume.f_frsize;
}

bool pathExists(const std::string& path) {
    struct stat info{};
    return lstat(posixPath(path).c_str(), &info) == 0;
}

bool isFolder(const std::string& path) {
    struct stat info{};
    return stat(posixPath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FileResult createFolder(const std::string& path) { return resultOf(mkdir(posixPath(path).c_str(), 0755)); }

FileResult listFolder(const std::string& folder, std::vector<FolderItem>& items) {
    items.clear();
    DIR* listing = opendir(posixPath(folder).c_str());
    if (listing == nullptr) return FileResult::lastError();
    while (const dirent* found = readdir(listing)) {
        const std::string name = found->d_name;
        if (name == "." || name == "..") continue;
        struct stat info{};
        if (lstat(posixPath(folder + name).c_str(), &info) != 0) continue;
        items.push_back({name, S_ISDIR(info.st_mode), S_ISLNK(info.st_mode)});
    }
    closedir(listing);
    return {};
}

bool isLink(const std::string& path) {
    struct stat info{};
    return lstat(posixPath(path).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

FileResult removeFile(const std::string& path) { return resultOf(unlink(posixPath(path).c_str())); }

FileResult replaceFile(const std::string& source, const std::string& target) {
    return resultOf(rename(posixPath(source).c_str(), posixPath(target).c_str()));
}

FileResult removeFolder(const std::string& path) {
    return resultOf(isLink(path) ? unlink(posixPath(path).c_str()) : rmdir(posixPath(path).c_str()));
}

}  // namespace brindle
