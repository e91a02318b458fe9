// The version summary of a file: the values of its version resource joined
// with "|", and the lines the version dialog makes of it.
#pragma once

#include <string>

namespace brindle {

class LanguageTexts;

// "FileVersion|FileDescription|language name"; a value the resource lacks is
// left out together with its separator, so a file without any gives "".
std::string joinVersionSummary(const std::string& fileVersion, const std::string& fileDescription,
                               const std::string& languageName);

// What one frame of the version dialog shows for a file.
struct VersionLines {
    std::string version;
    std::string language;
    std::string description;
};

// The summary is read by position (field 1 version, 2 description, 3
// language), so a missing value moves the ones behind it forward: a resource
// with a description only shows it as the version. An empty version shows
// `creationTime` instead; an empty language or description, and a creation
// time that could not be read, show FileVersion/NotAvailable.
VersionLines versionLines(const std::string& summary, const std::string& creationTime, const LanguageTexts& texts);

}  // namespace brindle
