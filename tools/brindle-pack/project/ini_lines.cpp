#include "project/ini_lines.h"

#include "toolkit/path_text.h"

namespace brindle::tool {

namespace {
IniLine parseLine(int number, const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t");
    IniLine line{number, IniLine::Kind::Key, {}, {}};
    if (text[start] == ';') {
        line.kind = IniLine::Kind::Comment;
        line.name = text.substr(start + 1);
    } else if (text[start] == '[') {
        line.kind = IniLine::Kind::Group;
        const std::size_t close = text.find(']', start + 1);
        line.name = text.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
    } else {
        const std::size_t equals = text.find('=', start);
        line.name = trimBlanks(text.substr(start, equals == std::string::npos ? std::string::npos : equals - start));
        if (equals != std::string::npos) line.value = trimBlanks(text.substr(equals + 1));
    }
    return line;
}
}  // namespace

bool sameIniName(const std::string& a, const std::string& b) { return foldCase(a) == foldCase(b); }

IniLines::IniLines(const std::string& content) {
    int number = 1;
    for (std::size_t at = 0; at < content.size();) {
        std::size_t end = content.find_first_of("\r\n", at);
        if (end == std::string::npos) end = content.size();
        const std::string text = content.substr(at, end - at);
        if (text.find_first_not_of(" \t") != std::string::npos) lines_.push_back(parseLine(number, text));
        // CR LF, CR or LF ends one line.
        at = end;
        if (at < content.size() && content[at] == '\r') ++at;
        if (at < content.size() && content[at] == '\n' && (at == end || content[at - 1] == '\r')) ++at;
        ++number;
    }
}

const IniLine* IniLines::group(const std::string& group) const {
    for (const IniLine& line : lines_)
        if (line.kind == IniLine::Kind::Group && sameIniName(line.name, group)) return &line;
    return nullptr;
}

std::vector<const IniLine*> IniLines::keys(const std::string& group) const {
    std::vector<const IniLine*> found;
    const IniLine* header = this->group(group);
    if (!header) return found;
    for (const IniLine* line = header + 1; line != lines_.data() + lines_.size(); ++line) {
        if (line->kind == IniLine::Kind::Group) break;
        if (line->kind == IniLine::Kind::Key) found.push_back(line);
    }
    return found;
}

const IniLine* IniLines::key(const std::string& group, const std::string& key) const {
    for (const IniLine* line : keys(group))
        if (sameIniName(line->name, key)) return line;
    return nullptr;
}

int IniLines::lineOf(const std::string& group, const std::string& key) const {
    if (const IniLine* line = this->key(group, key)) return line->number;
    if (const IniLine* line = this->group(group)) return line->number;
    return 0;
}

}  // namespace brindle::tool
