// The file operations the portable core needs, behind one small interface:
// Win32 calls in the runtime, POSIX calls in the native tools. Paths are
// Windows paths ("\" separators); the POSIX side maps "\" to "/".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brindle {

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

    bool open(const std::string& path);
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
    bool create(const std::string& path);
    // Creates the file; false when a file (or link) of that name exists.
    bool createNew(const std::string& path);
    // Empties an existing file and reuses it, keeping its attributes.
    bool truncateExisting(const std::string& path);
    bool write(const void* data, std::size_t length);
    // FILETIME values: 100-nanosecond intervals since 1601-01-01 UTC. Where
    // the platform keeps no creation time, only the last-write time is set.
    bool setTimes(std::uint64_t created, std::uint64_t modified);
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
    enum class Opened { Yes, Link, Failed };

    HeldFolder() = default;
    ~HeldFolder();
    HeldFolder(HeldFolder&& other) noexcept;
    HeldFolder& operator=(HeldFolder&& other) noexcept;

    // Opens the existing folder `path` as the platform resolves it: the
    // destination that the caller names.
    bool open(const std::string& path);
    // Opens the folder `name` (one component) inside `parent`, making it when
    // it is missing. Link when that name is a link (a symbolic link, a
    // junction, or a name the platform resolves to somewhere else), which is
    // never entered; Failed when it is no folder or cannot be made or opened.
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
// Creates one folder; false when it could not be created.
bool createFolder(const std::string& path);

// One item of a folder listing. A link (symbolic link or junction) is
// reported as a link, never as what it points at.
struct FolderItem {
    std::string name;
    bool isFolder = false;
    bool isLink = false;
};

// The items directly inside `folder` (ending in ""), without "." and "..".
// False when the folder cannot be listed.
bool listFolder(const std::string& folder, std::vector<FolderItem>& items);
// True when `path` itself is a link.
bool isLink(const std::string& path);
// Deletes a file (read-only ones too) or a link to a file.
bool removeFile(const std::string& path);
// Moves the file `source` to `target`, replacing a file of that name in one
// step; false leaves both as they were.
bool replaceFile(const std::string& source, const std::string& target);
// Removes an empty folder, or a link to a folder without touching its target.
bool removeFolder(const std::string& path);

}  // namespace brindle
