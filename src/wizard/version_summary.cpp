#include "wizard/version_summary.h"

#include <algorithm>
#include <vector>

#include "config/language_texts.h"
#include "toolkit/path_text.h"

namespace brindle {

std::string joinVersionSummary(const std::string& fileVersion, const std::string& fileDescription,
                               const std::string& languageName) {
    std::string summary;
    for (const std::string* value : {&fileVersion, &fileDescription, &languageName}) {
        if (value->empty()) continue;
        if (!summary.empty()) summary += '|';
        summary += *value;
    }
    return summary;
}

VersionLines versionLines(const std::string& summary, const std::string& creationTime, const LanguageTexts& texts) {
    const std::string& notAvailable = texts.get(Text::FileVersionNotAvailable);
    const auto orNotAvailable = [&](const std::string& value) { return value.empty() ? notAvailable : value; };
    const std::string version = field(summary, '|', 1);
    return {orNotAvailable(version.empty() ? creationTime : version), orNotAvailable(field(summary, '|', 3)),
            orNotAvailable(field(summary, '|', 2))};
}

}  // namespace brindle

namespace brindle {

namespace {
// The numbers at the start of a summary's version field; none when it does
// not begin with a digit.
std::vector<std::uint32_t> versionNumbers(const std::string& summary) {
    std::vector<std::uint32_t> numbers;
    std::size_t at = 0;
    while (at < summary.size() && summary[at] >= '0' && summary[at] <= '9') {
        std::uint32_t number = 0;
        for (; at < summary.size() && summary[at] >= '0' && summary[at] <= '9'; ++at)
            number = number * 10 + std::uint32_t(summary[at] - '0');
        numbers.push_back(number);
        if (at >= summary.size() || (summary[at] != '.' && summary[at] != ',')) break;
        for (++at; at < summary.size() && summary[at] == ' '; ++at) {
        }
    }
    return numbers;
}
}  // namespace

bool isNewerFile(const std::string& summary, std::uint64_t modified, const std::string& otherSummary,
                 std::uint64_t otherModified) {
    std::vector<std::uint32_t> version = versionNumbers(summary), otherVersion = versionNumbers(otherSummary);
    if (version.empty() || otherVersion.empty()) return modified > otherModified;
    const std::size_t parts = std::max(version.size(), otherVersion.size());
    version.resize(parts);
    otherVersion.resize(parts);
    return version > otherVersion;
}

}  // namespace brindle
