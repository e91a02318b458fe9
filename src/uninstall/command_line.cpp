#include "uninstall/command_line.h"

#include <vector>

#include "toolkit/command_words.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
std::vector<std::string> splitArguments(const std::string& line) {
    std::vector<std::string> arguments;
    for (std::size_t at = 0; atWord(line, at);) arguments.push_back(takeWord(line, at));
    return arguments;
}

bool parseHandle(const std::string& text, std::uintptr_t& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + std::uintptr_t(c - '0');
    }
    return value != 0;
}
}  // namespace

UninstallArguments parseArguments(const std::string& commandLine) {
    const std::vector<std::string> arguments = splitArguments(commandLine);
    UninstallArguments result;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string option = foldCase(arguments[i]);
        if (option == "/s") {
            result.silent = true;
        } else if (option == "/remove" && i + 2 < arguments.size()) {
            result.removeOriginal = parseHandle(arguments[i + 1], result.originalProcess) && !arguments[i + 2].empty();
            if (result.removeOriginal) result.originalPath = arguments[i + 2];
            i += 2;
            if (result.removeOriginal && i + 1 < arguments.size() && arguments[i + 1].rfind('/', 0) != 0)
                result.madeAbove = arguments[++i];
        }
    }
    return result;
}

}  // namespace brindle
