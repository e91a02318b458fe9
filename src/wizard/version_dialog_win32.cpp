// The version conflict dialog (window 4). It has no close box and answers
// only to its two buttons; the wizard behind it stays open, and its events
// are taken and dropped while the dialog waits.
#include <windows.h>

#include "config/language_texts.h"
#include "toolkit/ui.h"
#include "wizard/version_dialog.h"
#include "wizard/version_dialog_texts.h"
#include "wizard/version_info.h"
#include "wizard/version_summary.h"
#include "wizard/wizard_ids.h"

namespace brindle {

namespace {
// The controls of one file's frame, rows in the order version, language,
// description.
struct FileFrame {
    int frame;
    int top;
    int labels[3];
    int values[3];
};

constexpr FileFrame kCurrentFile{kCurrentFileFrame, 5,
                                 {kCurrentVersionLabel, kCurrentLanguageLabel, kCurrentDescriptionLabel},
                                 {kCurrentVersion, kCurrentLanguage, kCurrentDescription}};
constexpr FileFrame kNewFile{kNewFileFrame, 120, {kNewVersionLabel, kNewLanguageLabel, kNewDescriptionLabel},
                             {kNewVersion, kNewLanguage, kNewDescription}};

std::string creationTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME time;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftCreationTime, &local) || !FileTimeToSystemTime(&local, &time))
        return {};
    return creationTimeText(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute);
}

std::uint64_t lastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

VersionLines linesFor(const std::string& path, const LanguageTexts& texts) {
    return versionLines(readVersionInfo(path), creationTime(path), texts);
}

bool addFileFrame(const FileFrame& frame, const std::string& title, const LanguageTexts& texts) {
    const Text labels[3] = {Text::FileVersionVersion, Text::FileVersionLang, Text::FileVersionDesc};
    bool built =
        ui::addControl({frame.frame, ui::ControlKind::Frame, kVersionWindow, 0, 10, frame.top, 320, 85, title});
    for (int row = 0; row < 3; ++row)
        built = built && ui::addControl({frame.labels[row], ui::ControlKind::RightText, kVersionWindow, 0, 20,
                                         frame.top + 20 + 20 * row, 80, 15, texts.get(labels[row])});
    for (int row = 0; row < 3; ++row)
        built = built && ui::addControl({frame.values[row], ui::ControlKind::Text, kVersionWindow, 0, 105,
                                         frame.top + 20 + 20 * row, 215, 15, ""});
    return built;
}

void showLines(const FileFrame& frame, const VersionLines& lines) {
    ui::setText(frame.values[0], lines.version);
    ui::setText(frame.values[1], lines.language);
    ui::setText(frame.values[2], lines.description);
}

bool buildDialog(const std::string& newFile, const LanguageTexts& texts) {
    if (!ui::openWindow({kVersionWindow, versionDialogCaption(newFile, texts), 340, 236, false,
                         ui::Placement::OverActiveWindow, 0}))
        return false;
    const int questionFont = ui::createFont("Arial", 8, true);
    return addFileFrame(kCurrentFile, texts.get(Text::FileVersionFrameOld), texts) &&
           ui::addControl({kReplaceQuestion, ui::ControlKind::Text, kVersionWindow, 0, 10, 100, 320, 15,
                           texts.get(Text::FileVersionMsg), questionFont}) &&
           addFileFrame(kNewFile, texts.get(Text::FileVersionFrameNew), texts) &&
           ui::addControl({kYesButton, ui::ControlKind::Button, kVersionWindow, 0, 100, 210, 60, 20,
                           texts.get(Text::ButtonsYes)}) &&
           ui::addControl({kNoButton, ui::ControlKind::Button, kVersionWindow, 0, 180, 210, 60, 20,
                           texts.get(Text::ButtonsNo)});
}

// Blocks until Yes (true) or No (false) is clicked; close requests and the
// events of other windows are dropped.
bool waitForAnswer() {
    for (;;) {
        const ui::Event event = ui::waitEvent();
        if (event.kind != ui::EventKind::Control || event.window != kVersionWindow) continue;
        if (event.control == kYesButton) return true;
        if (event.control == kNoButton) return false;
    }
}
}  // namespace

bool confirmReplaceFile(const std::string& newFile, const std::string& currentFile, const LanguageTexts& texts) {
    const VersionLines currentLines = linesFor(currentFile, texts);
    const VersionLines newLines = linesFor(newFile, texts);
    bool replace = false;
    if (buildDialog(newFile, texts)) {
        ui::showWindow(kVersionWindow);
        showLines(kCurrentFile, currentLines);
        showLines(kNewFile, newLines);
        replace = waitForAnswer();
    }
    ui::closeWindow(kVersionWindow);
    return replace;
}

bool newFileIsNewer(const std::string& newFile, const std::string& currentFile) {
    return isNewerFile(readVersionInfo(newFile), lastWriteTime(newFile), readVersionInfo(currentFile),
                       lastWriteTime(currentFile));
}

}  // namespace brindle
