#include "wizard/version_dialog_texts.h"

#include "config/language_texts.h"
#include "toolkit/number_text.h"

namespace brindle {

std::string versionDialogCaption(const std::string& newFile, const LanguageTexts& texts) {
    const std::size_t folderEnd = newFile.find_last_of("\\/");
    const std::string name = folderEnd == std::string::npos ? newFile : newFile.substr(folderEnd + 1);
    return " " + texts.get(Text::FileVersionWindow) + "  '" + name + "'";
}

std::string creationTimeText(int year, int month, int day, int hour, int minute) {
    return paddedNumber(year, 4) + "-" + paddedNumber(month, 2) + "-" + paddedNumber(day, 2) + "  " +
           paddedNumber(hour, 2) + ":" + paddedNumber(minute, 2);
}

}  // namespace brindle
