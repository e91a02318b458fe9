#pragma once

#include <string>

namespace brindle {

class LanguageTexts;

// Asks whether `newFile` is to replace the existing `currentFile`, showing
// both files' version, language and description. True when the user
// answered Yes; false on No or when the dialog could not be made.
bool confirmReplaceFile(const std::string& newFile, const std::string& currentFile, const LanguageTexts& texts);

// The dialog's answer without a person (see isNewerFile): true when
// `newFile` is newer than `currentFile`, so that it replaces it.
bool newFileIsNewer(const std::string& newFile, const std::string& currentFile);

}  // namespace brindle
