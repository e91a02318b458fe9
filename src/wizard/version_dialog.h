#pragma once

#include <string>

namespace brindle {

class LanguageTexts;

// Asks whether `newFile` is to replace the existing `currentFile`, showing
// both files' version, language and description, and copies it over on Yes.
// True when the user answered Yes (whether or not the copy then succeeded);
// false on No or when the dialog could not be made.
bool askReplaceFile(const std::string& newFile, const std::string& currentFile, const LanguageTexts& texts);

}  // namespace brindle
