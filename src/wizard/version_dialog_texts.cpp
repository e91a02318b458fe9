#include "wizard/version_dialog_texts.h"

#include <cstdio>

#include "config/language_texts.h"

namespace brindle {

std::string versionDialogCaption(const std::string& newFile, const LanguageTexts& texts) {
    const std::size_t folderEnd = newFile.find_last_of("\\/");
    const std::string name = folderEnd == std::string::npos ? newFile : newFile.substr(folderEnd + 1);
    return " " + texts.get(Text::FileVersionWindow) + "  '" + name + "'";
}

std::string creationTimeText(int year, int month, int day, int hour, int minute) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d  %02d:%02d", year, month, day, hour, minute);
    return text;
}

}  // namespace brindle
