#include <windows.h>

#include "install/version_checked_copy.h"
#include "toolkit/file_paths.h"
#include "wizard/version_dialog.h"

namespace brindle {

void copyWithVersionCheck(const std::string& source, const std::string& target, const LanguageTexts& texts) {
    if (fileExists(target)) askReplaceFile(source, target, texts);
    else CopyFileA(source.c_str(), target.c_str(), FALSE);
}

}  // namespace brindle
