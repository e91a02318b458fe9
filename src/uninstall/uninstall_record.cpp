#include "uninstall/uninstall_record.h"

#include <cstdint>

#include "config/language_texts.h"
#include "config/path_macros.h"
#include "config/preference_file.h"
#include "toolkit/number_text.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
// F001 to F999, then F1000 and on.
std::string fileKey(int number) {
    std::string key = "F";
    return key += paddedNumber(number, 3);
}

// Numbered keys from 1 up to `last`, ending early at the first that is
// missing or empty, so that a huge count in a damaged file reads nothing more.
std::vector<std::string> numberedValues(PreferenceFile& file, std::string (*keyOf)(int), std::int32_t last) {
    std::vector<std::string> values;
    for (std::int32_t number = 1; number <= last; ++number) {
        std::string value = file.readString(keyOf(number));
        if (value.empty()) break;
        values.push_back(std::move(value));
    }
    return values;
}

std::string taskKey(int number) { return "Task" + std::to_string(number); }

UninstallTexts readTexts(PreferenceFile& file, const std::string& progName, const std::string& version) {
    const LanguageTexts defaults(progName, version);
    file.selectGroup("Language");
    const auto text = [&](const char* key, Text fallback) {
        return replaceAll(file.readString(key, defaults.get(fallback)), "$Titel", progName);
    };
    UninstallTexts texts;
    texts.titel = text("Titel", Text::UninstallerTitel);
    texts.msg = text("Msg", Text::UninstallerMsg);
    texts.uninstInfo = text("UninstInfo", Text::UninstallerUninstInfo);
    texts.delAll = text("DelAll", Text::UninstallerDelAll);
    texts.error = text("Error", Text::UninstallerError);
    texts.status = text("Status", Text::UninstallerStatus);
    texts.ok = text("OK", Text::UninstallerOK);
    texts.cancel = text("Cancel", Text::UninstallerCancel);
    texts.ready = text("Ready", Text::UninstallerReady);
    const std::string mutex = file.readString(
        "Mutex", defaults.get(Text::RequesterRQ4Msg) + "|" + defaults.get(Text::RequesterRQ4Msg2));
    const std::size_t bar = mutex.find('|');
    texts.runningFirstLine = mutex.substr(0, bar);
    texts.runningSecondLine = bar == std::string::npos ? std::string() : mutex.substr(bar + 1);
    return texts;
}
}  // namespace

bool readUninstallRecord(PreferenceFile& file, const std::string& path, const std::string& ownFolder,
                         UninstallRecord& record) {
    record = {};
    if (!file.open(path)) {
        file.close();
        return false;
    }
    file.selectGroup("Settings");
    record.progDir = file.readString("ProgDir");
    if (record.progDir.empty() || foldCase(ensureTrailingBackslash(record.progDir)) != foldCase(ownFolder)) {
        file.close();
        return false;
    }
    record.progDir = ensureTrailingBackslash(record.progDir);
    record.progName = file.readString("ProgName");
    record.version = file.readString("Version");
    record.noDelAll = file.readLong("NoDelAll", 0) != 0;
    record.mutexString = file.readString("MutexString");
    record.progExe = file.readString("ProgExe");
    record.guid = file.readString("GUID");
    record.progLink = file.readString("ProgLink");
    record.startMenu = file.readString("StartMenu");
    record.desktopIcon = file.readString("DesktopIcon");
    if (record.progName.empty()) record.progName = record.progLink;

    file.selectGroup("Files");
    record.files = numberedValues(file, fileKey, INT32_MAX);
    file.selectGroup("StartMenu");
    for (const char* key : {"Program", "AddExe", "Help", "Homepage", "Uninstall"})
        record.startMenuLinks.push_back(file.readString(key));
    file.selectGroup("UserTask");
    record.taskRecords = numberedValues(file, taskKey, file.readLong("Number", 0));
    record.texts = readTexts(file, record.progName, record.version);
    file.close();
    return true;
}

}  // namespace brindle
