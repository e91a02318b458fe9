#include "config/preference_file.h"

#include "config/decimal.h"
#include "toolkit/file_paths.h"
#include "toolkit/text_encoding.h"
#include "toolkit/path_text.h"
#include "toolkit/replacement_file.h"

namespace brindle {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimTrailingBlanks(std::string text) {
    while (!text.empty() && isBlank(text.back())) text.pop_back();
    return text;
}

// Group and key names match without regard to the case of A-Z.
bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
}  // namespace

bool PreferenceFile::open(const std::string& path) {
    load(path, {});
    std::string content;
    if (!file_.open(path) || !readWholeFile(file_, content)) {
        file_.close();
        return false;
    }
    take(std::move(content));
    return true;
}

void PreferenceFile::load(const std::string& path, const std::string& content) {
    close();
    isOpen_ = true;
    path_ = path;
    take(content);
}

void PreferenceFile::take(std::string content) {
    if (content.size() > 2 && content.compare(0, 3, kByteOrderMark) == 0) {
        utf8_ = true;
        content.erase(0, 3);
    }
    parse(content);
}

void PreferenceFile::parse(const std::string& content) {
    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find_first_of("\r\n", at);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(at, end - at);
        at = content.find_first_not_of("\r\n", end);
        if (at == std::string::npos) at = content.size();
        if (line.empty()) continue;  // only at the very start: breaks are runs

        std::size_t start = 0;
        while (start < line.size() && isBlank(line[start])) ++start;
        if (start < line.size() && line[start] == ';') {
            std::size_t text = start + 1;
            if (text < line.size() && line[text] == ' ') ++text;
            lines_.push_back({Kind::Comment, line.substr(text), {}});
        } else if (start < line.size() && line[start] == '[') {
            const std::size_t close = line.find(']', start + 1);
            lines_.push_back({Kind::Group, line.substr(start + 1, close == std::string::npos ? std::string::npos
                                                                                            : close - start - 1),
                              {}});
        } else {
            const std::size_t equals = line.find('=', start);
            if (equals == std::string::npos) {
                lines_.push_back({Kind::Key, trimTrailingBlanks(line.substr(start)), {}});
            } else {
                std::size_t value = equals + 1;
                while (value < line.size() && isBlank(line[value])) ++value;
                lines_.push_back(
                    {Kind::Key, trimTrailingBlanks(line.substr(start, equals - start)), line.substr(value)});
            }
        }
    }
}

bool PreferenceFile::selectGroup(const std::string& name) {
    if (!isOpen_) return false;
    if (name.empty()) {
        currentGroup_ = kNone;
        pendingGroup_.reset();
        return true;
    }
    const std::string wanted = stored(name);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Group && sameName(lines_[i].name, wanted)) {
            currentGroup_ = i;
            pendingGroup_.reset();
            return true;
        }
    }
    pendingGroup_ = name;
    return false;
}

std::size_t PreferenceFile::sectionStart() const { return currentGroup_ == kNone ? 0 : currentGroup_ + 1; }

std::size_t PreferenceFile::sectionEnd() const {
    std::size_t end = sectionStart();
    while (end < lines_.size() && lines_[end].kind != Kind::Group) ++end;
    return end;
}

std::size_t PreferenceFile::findKey(const std::string& key) const {
    const std::string wanted = stored(key);
    for (std::size_t i = sectionStart(), end = sectionEnd(); i < end; ++i)
        if (lines_[i].kind == Kind::Key && sameName(lines_[i].name, wanted)) return i;
    return kNone;
}

std::string PreferenceFile::stored(const std::string& text) const { return utf8_ ? latin1ToUtf8(text) : text; }

std::string PreferenceFile::readString(const std::string& key, const std::string& fallback) {
    if (!isOpen_ || pendingGroup_) return fallback;
    const std::size_t line = findKey(key);
    if (line == kNone) return fallback;
    return trimBlanks(utf8_ ? utf8ToLatin1(lines_[line].value) : lines_[line].value);
}

std::int32_t PreferenceFile::readLong(const std::string& key, std::int32_t fallback) {
    if (!isOpen_ || pendingGroup_) return fallback;
    const std::size_t line = findKey(key);
    if (line == kNone) return fallback;
    return parseDecimal(utf8_ ? utf8ToLatin1(lines_[line].value) : lines_[line].value);
}

void PreferenceFile::writeString(const std::string& key, const std::string& value) {
    if (!isOpen_) return;
    if (pendingGroup_) {
        lines_.push_back({Kind::Group, stored(*pendingGroup_), {}});
        currentGroup_ = lines_.size() - 1;
        pendingGroup_.reset();
    }
    const std::size_t line = findKey(key);
    if (line != kNone) {
        lines_[line].name = stored(key);
        lines_[line].value = stored(value);
    } else {
        lines_.insert(lines_.begin() + std::ptrdiff_t(sectionEnd()), Line{Kind::Key, stored(key), stored(value)});
    }
    modified_ = true;
}

void PreferenceFile::writeLong(const std::string& key, std::int32_t value) {
    writeString(key, std::to_string(value));
}

bool PreferenceFile::hasKey(const std::string& key) const {
    return isOpen_ && !pendingGroup_ && findKey(key) != kNone;
}

void PreferenceFile::removeKey(const std::string& key) {
    if (!hasKey(key)) return;
    lines_.erase(lines_.begin() + std::ptrdiff_t(findKey(key)));
    modified_ = true;
}

bool PreferenceFile::removeGroupIfEmpty() {
    if (!isOpen_ || pendingGroup_ || currentGroup_ == kNone) return false;
    const std::size_t end = sectionEnd();
    for (std::size_t i = sectionStart(); i < end; ++i)
        if (lines_[i].kind == Kind::Key) return false;
    const std::string name = lines_[currentGroup_].name;
    lines_.erase(lines_.begin() + std::ptrdiff_t(currentGroup_), lines_.begin() + std::ptrdiff_t(end));
    currentGroup_ = kNone;
    pendingGroup_ = utf8_ ? utf8ToLatin1(name) : name;
    modified_ = true;
    return true;
}

bool PreferenceFile::holdsKeys() const {
    for (const Line& line : lines_)
        if (line.kind == Kind::Key) return true;
    return false;
}

std::string PreferenceFile::rendered() const {
    std::string out;
    if (utf8_) out = std::string(kByteOrderMark) + "\r\n";
    for (const Line& line : lines_) {
        switch (line.kind) {
            case Kind::Group: out += "[" + line.name + "]"; break;
            case Kind::Comment: out += "; " + line.name; break;
            case Kind::Key: out += line.name + " = " + line.value; break;
        }
        out += "\r\n";
    }
    return out;
}

FileResult PreferenceFile::writeOut() const {
    const std::string text = rendered();
    ReplacementFile out;
    FileResult step = out.create(path_);
    if (step) step = out.write(text.data(), text.size());
    return step ? out.replaceTarget() : step;
}

FileResult PreferenceFile::close() {
    file_.close();  // a file held open cannot be replaced
    const FileResult written = !isOpen_ || !modified_ ? FileResult() : writeOut();
    isOpen_ = false;
    path_.clear();
    lines_.clear();
    modified_ = false;
    utf8_ = false;
    currentGroup_ = kNone;
    pendingGroup_.reset();
    return written;
}

}  // namespace brindle
