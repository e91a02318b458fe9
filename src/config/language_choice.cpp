#include "config/language_choice.h"

#include <algorithm>

#include "config/decimal.h"
#include "config/preference_file.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
std::size_t entryCount(const std::string& setting) { return std::size_t(std::count(setting.begin(), setting.end(), '|')); }
}  // namespace

std::string chooseLanguageFile(const std::string& setting, std::uint16_t userLanguage,
                               const std::function<std::string(const std::string&)>& ask) {
    const std::size_t entries = entryCount(setting);
    if (entries <= 1) return firstLanguageFile(setting);
    const std::int32_t primary = userLanguage & 0x1FF;
    std::string chosen;
    bool matched = false;
    for (std::size_t i = 1; i <= entries; ++i) {
        const std::string entry = field(setting, '|', i);
        if (parseDecimal(field(entry, '#', 2)) == primary) {
            chosen = field(entry, '#', 1);
            matched = true;
        }
    }
    return matched ? chosen : ask(setting);
}

std::string firstLanguageFile(const std::string& setting) { return field(field(setting, '|', 1), '#', 1); }

std::vector<LanguageChoice> languageChoices(const std::string& setting,
                                            const std::function<std::string(const std::string&)>& ownName) {
    std::vector<LanguageChoice> choices;
    const std::size_t entries = entryCount(setting);
    for (std::size_t i = 1; i <= entries; ++i) {
        const std::string fileName = field(field(setting, '|', i), '#', 1);
        const std::string name = ownName(fileName);
        choices.push_back({" " + (name.empty() ? fileName.substr(0, fileName.find('.')) : name), fileName});
    }
    return choices;
}

std::string languageName(const std::string& path) {
    PreferenceFile file;
    file.open(path);
    file.selectGroup(kLanguageNameGroup);
    return file.readString(kLanguageNameKey);
}

}  // namespace brindle
