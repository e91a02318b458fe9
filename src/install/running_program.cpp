#include "install/running_program.h"

#include "config/path_macros.h"

namespace brindle {

std::string upperCaseName(std::string text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || byte >= 0xE0) c = static_cast<char>(byte - 32);
    }
    return text;
}

bool isProgramProcess(const std::string& executable, const std::string& progExe) {
    std::string name = executable;
    const std::size_t last = name.find_last_of("\\/");
    if (last != std::string::npos) name.erase(0, last + 1);
    if (!name.empty() && name[0] == '"') name.erase(0, 1);
    name = name.substr(0, name.find('"'));
    return upperCaseName(name) == upperCaseName(progExe);
}

std::string runningWarningText(const std::string& firstLine, const std::string& secondLine,
                               const std::string& titel) {
    return replaceAll(firstLine, "$Titel", titel) + "\n" + secondLine;
}

}  // namespace brindle
