#include "run/setup_arguments.h"

#include "toolkit/command_words.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
// The highest primary language number (nine bits).
constexpr unsigned kLastLanguage = 0x1FF;

bool startsWithFolded(const std::string& text, const char* prefix) {
    const std::string start(prefix);
    return foldCase(text.substr(0, start.size())) == start;
}

// N of "/LANG=N": decimal digits only, 1 to the last primary language.
std::uint16_t languageNumber(const std::string& digits) {
    if (digits.empty() || digits.size() > 3) return 0;
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + unsigned(c - '0');
    }
    return value <= kLastLanguage ? std::uint16_t(value) : 0;
}

// False for a word that is no switch, or a switch without a usable value.
bool readSwitch(const std::string& word, SetupArguments& result) {
    const std::string name = foldCase(word);
    if (name == "/s") return result.silent = true;
    if (name == "/noicons") return result.noIcons = true;
    if (name == "/force") return result.force = true;
    if (name == "/?" || name == "/help") return result.help = true;
    if (startsWithFolded(name, "/lang=")) return (result.language = languageNumber(word.substr(6))) != 0;
    if (startsWithFolded(name, "/log=")) return !(result.logFile = word.substr(5)).empty();
    return false;
}
}  // namespace

SetupArguments parseSetupArguments(const std::string& arguments) {
    SetupArguments result;
    for (std::size_t at = 0; atWord(arguments, at);) {
        if (startsWithFolded(arguments.substr(at), "/d=")) {
            std::string folder = arguments.substr(at + 3);
            folder.erase(folder.find_last_not_of(" \t") + 1);
            if (folder.empty()) result.wrong.push_back("/D=");
            result.installDir = folder;
            break;
        }
        const std::string word = takeWord(arguments, at);
        if (!readSwitch(word, result)) result.wrong.push_back(word);
    }
    return result;
}

}  // namespace brindle
