#include "toolkit/command_words.h"

namespace brindle {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool atWord(const std::string& line, std::size_t& at) {
    while (at < line.size() && isBlank(line[at])) ++at;
    return at < line.size();
}

std::string takeWord(const std::string& line, std::size_t& at) {
    std::string word;
    bool quoted = false;
    for (; at < line.size() && (quoted || !isBlank(line[at])); ++at) {
        if (line[at] == '"') quoted = !quoted;
        else word += line[at];
    }
    return word;
}

std::string argumentsOf(const std::string& line) {
    std::size_t at = 0;
    if (atWord(line, at)) takeWord(line, at);
    atWord(line, at);
    return line.substr(at);
}

}  // namespace brindle
