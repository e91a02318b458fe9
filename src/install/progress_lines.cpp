#include "install/progress_lines.h"

#include <algorithm>

#include "config/language_texts.h"

namespace brindle {

namespace {
bool wentWell(ExtractOutcome outcome) {
    return outcome == ExtractOutcome::Written || outcome == ExtractOutcome::FolderMade ||
           outcome == ExtractOutcome::Kept;
}
}  // namespace

std::string copyingLine(const LanguageTexts& texts) { return texts.get(Text::InstallMsg1) + " ....."; }

bool copyCompleted(bool packageRead, const std::vector<ExtractOutcome>& outcomes) {
    return packageRead && std::all_of(outcomes.begin(), outcomes.end(), wentWell);
}

std::string copiedLine(const LanguageTexts& texts, bool completed) {
    return texts.get(Text::InstallMsg1) + "   -->   *** " +
           texts.get(completed ? Text::InstallReady : Text::InstallFailed) + " ***";
}

}  // namespace brindle
