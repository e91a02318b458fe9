// The file operations the portable core needs, behind one small interface:
// Win32 calls in the runtime, POSIX calls in the native tools. Paths are
// Windows paths ("\" separators); the POSIX side maps "\" to "/".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brindle {

// The outcome of a file operation: success, or the system's error number
// that made it fail (errno on POSIX hosts, GetLastError() on Windows). It
// tests true on success, like the bool it stands for, and carries the cause
// to where the failure is shown, where errorText turns it into the system's
// own words. Four bytes, no allocation, no exception.
class FileResult {
public:
    constexpr FileResult() = default;  // success
    // A failure for the calling thread's last system error.
    static FileResult lastError();
    // A failure for the system's error number `error`.
    static constexpr FileResult failure(std::uint32_t error) { return FileResult(error ? error : kRefused); }
    // A failure the caller decided on itself, for which the system gave no error.
    static constexpr FileResult refused() { return FileResult(kRefused); }

    constexpr explicit operator bool() const { return error_ == 0; }
    // The system's error number; 0 for success or a refusal.
    constexpr std::uint32_t error() const { return error_ == kRefused ? 0 : error_; }

private:
    static constexpr std::uint32_t kRefused = ~std::uint32_t(0);
    constexpr explicit FileResult(std::uint32_t error) : error_(error) {}
    std::uint32_t error_ = 0;
};

// The system's text for the error of a failed `result` ("No space left on
// device"), without a closing full stop; empty when there is none.
std::string errorText(FileResult result);

// `what` and the system's text for why it failed ("C:\App\: Access is
// denied"); `what` alone when the system gave none.
inline std::string withCause(const std::string& what, FileResult cause) {
    const std::string text = errorText(cause);
    return text.empty() ? what : what + ": " + text;
}

// A file's size and last-write time (a FILETIME value).
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t modified = 0;
    bool operator==(const FileStamp&) const = default;
};

// A file opened for reading; other readers are allowed.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    FileResult open(const std::string& path);
    void close();
    // Length of the open file, -1 when it cannot be told.
    std::int64_t size() const;
    // Its last-write time as a FILETIME value; 0 when it cannot be told.
    std::uint64_t lastWriteTime() const;
    bool seek(std::uint64_t offset);
    // Reads up to `length` bytes; returns how many were read.
    std::size_t read(void* buffer, std::size_t length);

private:
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_ = kClosed;
};

// A file opened for writing; other readers are allowed.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the file, replacing one of that name.
    FileResult create(const std::string& path);
    // Creates the file; fails when a file (or link) of that name exists.
    FileResult createNew(const std::string& path);
    // Empties an existing file and reuses it, keeping its attributes.
    FileResult truncateExisting(const std::string& path);
    FileResult write(const void* data, std::size_t length);
    // FILETIME values: 100-nanosecond intervals since 1601-01-01 UTC. Where
    // the platform keeps no creation time, only the last-write time is set.
    FileResult setTimes(std::uint64_t created, std::uint64_t modified);
    void close();

private:
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_ = kClosed;
};

// A folder opened as itself and held open while items are made in it, so
// that writing below a destination never follows a link on the way. A held
// folder keeps its place: on Windows nobody can rename or remove it while it
// is held (it is open without delete sharing); on POSIX its path() names the
// open folder itself, whatever becomes of its name meanwhile.
class HeldFolder {
public:
    // How opening a folder inside another went: Yes; Link when that name is
    // a link (a symbolic link, a junction, or a name the platform resolves to
    // somewhere else), which is never entered; Failed, for `cause`, when it
    // is no folder or cannot be made or opened.
    struct Opened {
        enum Kind { Yes, Link, Failed };
        Kind kind = Failed;
        FileResult cause = FileResult::refused();
    };

    HeldFolder() = default;
    ~HeldFolder();
    HeldFolder(HeldFolder&& other) noexcept;
    HeldFolder& operator=(HeldFolder&& other) noexcept;

    // Opens the existing folder `path` as the platform resolves it: the
    // destination that the caller names.
    FileResult open(const std::string& path);
    // Opens the folder `name` (one component) inside `parent`, making it when
    // it is missing.
    Opened openChild(const HeldFolder& parent, const std::string& name);
    // The path under which items of this folder are reached, ending in "\".
    const std::string& path() const { return path_; }
    // Bytes this program may still write to the folder's volume; the largest
    // value when the platform does not tell.
    std::uint64_t freeSpace() const;

private:
    void close();

    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_ = kClosed;
    std::string path_;
};

// True when a file or folder of exactly that name exists.
bool pathExists(const std::string& path);
// True when the path names an existing folder; a drive root counts as one.
bool isFolder(const std::string& path);
// Creates one folder.
FileResult createFolder(const std::string& path);

// One item of a folder listing. A link (symbolic link or junction) is
// reported as a link, never as what it points at.
struct FolderItem {
    std::string name;
    bool isFolder = false;
    bool isLink = false;
};

// The items directly inside `folder` (ending in "\"), without "." and "..".
FileResult listFolder(const std::string& folder, std::vector<FolderItem>& items);
// True when `path` itself is a link.
bool isLink(const std::string& path);
// Deletes a file (read-only ones too) or a link to a file.
FileResult removeFile(const std::string& path);
// Moves the file `source` to `target`, replacing a file of that name in one
// step; a failure leaves both as they were.
FileResult replaceFile(const std::string& source, const std::string& target);
// Removes an empty folder, or a link to a folder without touching its target.
FileResult removeFolder(const std::string& path);

}  // namespace brindle
