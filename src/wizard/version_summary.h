// The version summary of a file: the values of its version resource joined
// with "|", and the lines the version dialog makes of it.
#pragma once

#include <cstdint>
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

namespace brindle {

// The dialog's answer given without a person: whether a file (its summary
// and last-write time) is newer than the one it would replace. By the
// version numbers when both summaries begin with one ("1.2.3.4", "1, 2, 3,
// 4"; a missing part counts as 0), otherwise by the last-write times.
bool isNewerFile(const std::string& summary, std::uint64_t modified, const std::string& otherSummary,
                 std::uint64_t otherModified);

}  // namespace brindle
