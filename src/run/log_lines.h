// The lines of the run's log (/LOG=FILE), apart from the progress list's,
// which it takes as the page shows them.
#pragma once

#include <string>

#include "package/extraction.h"

namespace brindle {

// "written: PATH", "kept: PATH", or for a file that was not written
// "not written: PATH: reason", the system's text behind the reason when
// there is one.
std::string fileLogLine(const std::string& path, ExtractOutcome outcome, const std::string& systemText = {});

// A step that failed: "failed: WHAT", the system's text behind it.
std::string failureLogLine(const std::string& what, const std::string& systemText);

// The answer to an existing file that a copy would replace, given without a
// person: the newer of the two stays.
std::string replaceLogLine(const std::string& currentFile, bool replaced);

std::string exitLogLine(unsigned exitCode);

}  // namespace brindle
