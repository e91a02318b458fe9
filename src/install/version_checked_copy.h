#pragma once

#include <string>

namespace brindle {

class LanguageTexts;

// Copies `source` to `target`. When a file of that name exists the version
// dialog asks first, and a No leaves it as it is.
void copyWithVersionCheck(const std::string& source, const std::string& target, const LanguageTexts& texts);

}  // namespace brindle
