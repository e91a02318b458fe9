// The lines of the install step's progress list that say how the copy went,
// and the lines that name what failed and why.
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
bool copyCompleted(bool packageRead, const std::vector<ExtractResult>& results);

// The copy line afterwards: "... *** Completed ***" or the failure text.
std::string copiedLine(const LanguageTexts& texts, bool completed);

// One line for each entry that was not extracted well: its name and what
// went wrong, with the system's text where a file operation failed.
std::vector<std::string> failureLines(const std::vector<PackageEntry>& entries,
                                      const std::vector<ExtractResult>& results);

}  // namespace brindle
