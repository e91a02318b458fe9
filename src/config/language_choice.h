// Which language file a run uses, from the Language setting: a list of
// "file#language number|" entries.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace brindle {

// With at most one "|" the setting names the file directly. Otherwise the
// last entry whose number equals the user's primary language (the low nine
// bits of `userLanguage`) wins; when none does, `ask` chooses (it gets the
// setting and returns a file name, empty when the user declined).
std::string chooseLanguageFile(const std::string& setting, std::uint16_t userLanguage,
                               const std::function<std::string(const std::string&)>& ask);

struct LanguageChoice {
    std::string label;     // " " + the file name before its first "."
    std::string fileName;  // the part of the entry before "#"
};

// The entries the language chooser lists, in setting order: one per "|".
std::vector<LanguageChoice> languageChoices(const std::string& setting);

}  // namespace brindle
