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

// The first file the setting lists: the choice when nobody can be asked.
std::string firstLanguageFile(const std::string& setting);

// Where a language file names its language for the chooser: [Language] Name.
inline constexpr const char* kLanguageNameGroup = "Language";
inline constexpr const char* kLanguageNameKey = "Name";

struct LanguageChoice {
    std::string label;     // " " + the name the file gives itself, else its file name before the first "."
    std::string fileName;  // the part of the entry before "#"
};

// The entries the language chooser lists, in setting order: one per "|".
// `ownName` gives the name a language file gives itself, empty for none.
std::vector<LanguageChoice> languageChoices(const std::string& setting,
                                            const std::function<std::string(const std::string&)>& ownName);

// The name the language file at `path` gives itself; empty when it names none.
std::string languageName(const std::string& path);

}  // namespace brindle
