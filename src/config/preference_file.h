#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/files.h"

namespace brindle {

// The one reader and writer of INI-style files (setup.ini, language files,
// uninstall.dat). The whole file is held as a list of lines; reads and
// writes address the current group's section; close() writes the list back
// in normal form when anything was written, and leaves the file byte for
// byte as it was otherwise. The file is held open for reading meanwhile.
// Writing goes through a fresh file that replaces the old one once whole,
// so a failure leaves the old file as it was. One file is open at a time:
// open() closes the one before.
class PreferenceFile {
public:
    PreferenceFile() = default;
    ~PreferenceFile() { close(); }
    PreferenceFile(const PreferenceFile&) = delete;
    PreferenceFile& operator=(const PreferenceFile&) = delete;

    // False when the file could not be opened; it then reads as empty, and
    // a write creates it at close.
    bool open(const std::string& path);
    // As open(), with `content` taken as the file's bytes (read once by the
    // caller, who hashes the very bytes it reads, or the builder's converted
    // copy of a file); nothing is held open. With an empty `path` writes are
    // lost at close.
    void load(const std::string& path, const std::string& content);
    // True when the group exists or the name is empty (the lines before the
    // first group); otherwise the name becomes the pending group and reads
    // give their defaults until the next selection.
    bool selectGroup(const std::string& name);
    std::string readString(const std::string& key, const std::string& fallback = "");
    std::int32_t readLong(const std::string& key, std::int32_t fallback);
    void writeString(const std::string& key, const std::string& value);
    void writeLong(const std::string& key, std::int32_t value);
    // Whether the current group holds the key.
    bool hasKey(const std::string& key) const;
    void removeKey(const std::string& key);
    // Removes the current group, with its comments, when it holds no key;
    // its name then becomes the pending group. True when it is gone.
    bool removeGroupIfEmpty();
    // Whether any group, or the part before the first, holds a key.
    bool holdsKeys() const;
    // The text close() writes when anything was written.
    std::string rendered() const;
    // Succeeds when nothing needed writing or the file was written.
    FileResult close();

private:
    enum class Kind { Comment, Group, Key };
    struct Line {
        Kind kind;
        std::string name;   // comment text, group name or key, as in the file
        std::string value;  // keys only
    };
    static constexpr std::size_t kNone = std::size_t(-1);

    void take(std::string content);
    void parse(const std::string& content);
    std::size_t sectionStart() const;
    std::size_t sectionEnd() const;
    std::size_t findKey(const std::string& key) const;
    std::string stored(const std::string& text) const;  // 8-bit text as the file holds it
    FileResult writeOut() const;

    bool isOpen_ = false;
    InputFile file_;
    std::string path_;
    std::vector<Line> lines_;
    bool modified_ = false;
    bool utf8_ = false;
    std::size_t currentGroup_ = kNone;
    std::optional<std::string> pendingGroup_;
};

}  // namespace brindle
