// The lines of the install step's progress list that say how the copy went.
#pragma once

#include <string>
#include <vector>

#include "package/extraction.h"

namespace brindle {

class LanguageTexts;

// The copy line while the files are copied: "Copy Program Files .....".
std::string copyingLine(const LanguageTexts& texts);

// True when the package was read and every entry was written or
// deliberately kept.
bool copyCompleted(bool packageRead, const std::vector<ExtractOutcome>& outcomes);

// The copy line afterwards: "... *** Completed ***" or the failure text.
std::string copiedLine(const LanguageTexts& texts, bool completed);

}  // namespace brindle
