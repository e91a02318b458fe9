// The version dialog's caption and the creation time it shows for a file
// without a version.
#pragma once

#include <string>

namespace brindle {

class LanguageTexts;

// " " + FileVersion/Window + "  '" + the new file's name without its folder + "'".
std::string versionDialogCaption(const std::string& newFile, const LanguageTexts& texts);

// "2024-03-05  14:07": four-digit year, two-digit month, day, hour of 24 and
// minute, two spaces between date and time.
std::string creationTimeText(int year, int month, int day, int hour, int minute);

}  // namespace brindle
