#pragma once

#include <string>
#include <vector>

namespace brindle::tool {

// The lines of an INI-style file as the installer's preference files read
// them, each with its line number, so that the checker can point at them.
struct IniLine {
    enum class Kind { Comment, Group, Key };
    int number = 0;  // from 1
    Kind kind = Kind::Key;
    std::string name;   // group name or key, as in the file
    std::string value;  // keys only, without the blanks at both ends
};

class IniLines {
public:
    // `content` without any byte order mark.
    explicit IniLines(const std::string& content);

    const std::vector<IniLine>& all() const { return lines_; }
    // The group line that the installer selects for `group` (the first of
    // that name, compared without ASCII case); nullptr when there is none.
    const IniLine* group(const std::string& group) const;
    // The key lines of a group's section (the first group of that name),
    // in file order; duplicates included.
    std::vector<const IniLine*> keys(const std::string& group) const;
    // The line the installer reads for group/key; nullptr when there is none.
    const IniLine* key(const std::string& group, const std::string& key) const;
    // The line of `key`, else of its group, else 0: where a message about it points.
    int lineOf(const std::string& group, const std::string& key) const;

private:
    std::vector<IniLine> lines_;
};

bool sameIniName(const std::string& a, const std::string& b);

}  // namespace brindle::tool
