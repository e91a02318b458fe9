#pragma once

#include <string>

namespace brindle {

// Shows the language chooser listing the entries of the Language setting
// (their files in `workDirectory`, which may name their languages) and
// returns the file name of the one chosen, or the empty text when the window
// was closed or could not be opened.
std::string chooseLanguage(const std::string& setting, const std::string& workDirectory);

}  // namespace brindle
