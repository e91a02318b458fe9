#pragma once

#include <string>

namespace brindle {

class LanguageTexts;

// Asks whether `newFile` is to replace the existing `currentFile`, showing
// both files' version, language and description. True when the user
// answered Yes; false on No or when the dialog could not be made.
bool confirmReplaceFile(const std::string& newFile, const std::string& currentFile, const LanguageTexts& texts);

}  // namespace brindle
