// The page is repainted after each change by draining the pending events;
// input during the install step has no effect.
#include "wizard/install_page.h"

#include "toolkit/ui.h"
#include "wizard/version_dialog.h"
#include "wizard/wizard_ids.h"

namespace brindle {

namespace {
void drainEvents() {
    ui::Event dropped;
    while (ui::takeEvent(dropped)) {
    }
}
}  // namespace

std::string InstallPage::installFolder() const { return ui::text(kFolderField); }

std::string InstallPage::startMenuFolder() const { return ui::text(kStartMenuField); }

bool InstallPage::desktopIconWanted() const { return ui::checked(kDesktopCheck); }

void InstallPage::showProgress(const std::string& status) {
    ui::show(kInstallMessage, false);
    ui::show(kStatusLine, true);
    ui::show(kProgressList, true);
    ui::show(kBackButton, false);
    ui::show(kInstallButton, false);
    ui::setChecked(kStartProgramCheck, false);
    ui::setText(kStatusLine, status);
    drainEvents();
}

int InstallPage::addLine(const std::string& line) {
    const int index = ui::addItem(kProgressList, line);
    drainEvents();
    return index;
}

void InstallPage::replaceLine(int index, const std::string& line) {
    ui::setItem(kProgressList, index, line);
    drainEvents();
}

bool InstallPage::confirmReplace(const std::string& newFile, const std::string& currentFile) {
    return confirmReplaceFile(newFile, currentFile, texts_);
}

void InstallPage::showFinished(const std::string& title, const std::string& status) {
    ui::setText(kInstallTitle, title);
    ui::setText(kStatusLine, status);
    ui::setChecked(kStartProgramCheck, startProgram_);
    ui::show(kStartProgramCheck, true);
    ui::show(kCancelButton, false);
    ui::show(kFinishButton, true);
}

}  // namespace brindle
