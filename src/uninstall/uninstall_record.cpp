#include "uninstall/uninstall_record.h"

#include "config/language_texts.h"
#include "config/path_macros.h"
#include "config/preference_file.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
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
    texts.kept = text("Kept", Text::UninstallerKept);
    texts.changed = text("Changed", Text::UninstallerChanged);
    const std::string mutex = file.readString(
        "Mutex", defaults.get(Text::RequesterRQ4Msg) + "|" + defaults.get(Text::RequesterRQ4Msg2));
    const std::size_t bar = mutex.find('|');
    texts.runningFirstLine = mutex.substr(0, bar);
    texts.runningSecondLine = bar == std::string::npos ? std::string() : mutex.substr(bar + 1);
    return texts;
}
}  // namespace

bool readUninstallRecord(PreferenceFile& file, const std::string& path, const std::string& content,
                         const std::string& ownFolder, UninstallRecord& record, const LongForm& longForm) {
    record = {};
    file.load(path, content);
    file.selectGroup("Settings");
    const std::string progDir = file.readString("ProgDir");
    record.progDir = canonicalFolder(progDir, longForm);
    if (progDir.empty() || foldCase(record.progDir) != foldCase(ownFolder)) {
        file.close();
        return false;
    }
    record.progName = file.readString("ProgName");
    record.version = file.readString("Version");
    record.noDelAll = file.readLong("NoDelAll", 0) != 0;
    record.mutexString = file.readString("MutexString");
    record.progExe = file.readString("ProgExe");
    record.guid = file.readString("GUID");
    record.progLink = file.readString("ProgLink");
    if (record.progName.empty()) record.progName = record.progLink;
    readInstallationRecords(file, record);
    record.texts = readTexts(file, record.progName, record.version);
    file.close();
    return true;
}

}  // namespace brindle
