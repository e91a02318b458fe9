#include "install/progress_lines.h"

#include <algorithm>

#include "config/language_texts.h"

namespace brindle {

std::string copyingLine(const LanguageTexts& texts) { return texts.get(Text::InstallMsg1) + " ....."; }

bool copyCompleted(bool packageRead, const std::vector<ExtractResult>& results) {
    return packageRead && std::all_of(results.begin(), results.end(),
                                      [](const ExtractResult& result) { return extractedWell(result.outcome); });
}

std::string copiedLine(const LanguageTexts& texts, bool completed) {
    return texts.get(Text::InstallMsg1) + "   -->   *** " +
           texts.get(completed ? Text::InstallReady : Text::InstallFailed) + " ***";
}

std::vector<std::string> failureLines(const std::vector<PackageEntry>& entries,
                                      const std::vector<ExtractResult>& results) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < entries.size() && i < results.size(); ++i)
        if (!extractedWell(results[i].outcome)) lines.push_back(entries[i].name + ": " + problemOf(entries[i], results[i]));
    return lines;
}

}  // namespace brindle
