#include "wizard/version_summary.h"

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
