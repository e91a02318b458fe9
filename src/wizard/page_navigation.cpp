#include "wizard/page_navigation.h"

#include "toolkit/path_text.h"
#include "wizard/wizard_ids.h"

namespace brindle {

namespace {
void showInstallPage(PageView& view) {
    view.show(kHeaderBand, false);
    view.show(kInstallPage, true);
    view.show(kSidePicture, true);
    view.show(kInstallButton, true);
    view.show(kNextButton, false);
}

void showWelcomePage(PageView& view) {
    view.show(kHeaderBand, false);
    view.show(kWelcomePage, true);
    view.show(kSidePicture, true);
    view.show(kBackButton, false);
}

void showSettingsPage(PageView& view) {
    view.show(kSettingsPage, true);
    view.headerTexts(3);
}
}  // namespace

bool acceptInstallFolder(PageView& view) {
    if (isAbsoluteFolder(view.installFolder())) return true;
    view.refuseInstallFolder();
    return false;
}

int stepForward(int currentPage, PageView& view) {
    if (currentPage == 3 && !acceptInstallFolder(view)) return 3;
    const int page = currentPage + 1;
    switch (page) {
        case 2:
            view.show(kWelcomePage, false);
            view.show(kSidePicture, false);
            view.show(kHeaderBand, true);
            view.show(kBackButton, true);
            if (!view.hasDocument(kLicenceEditor)) {
                showSettingsPage(view);
                return 3;
            }
            view.show(kLicencePage, true);
            view.enable(kNextButton, view.isChecked(kAcceptOption));
            view.headerTexts(2);
            return 2;
        case 3:
            view.show(kLicencePage, false);
            showSettingsPage(view);
            return 3;
        case 4:
            view.show(kSettingsPage, false);
            if (!view.hasDocument(kReadmeEditor)) {
                showInstallPage(view);
                return 5;
            }
            view.show(kReadmePage, true);
            view.headerTexts(4);
            return 4;
        case 5:
            view.show(kReadmePage, false);
            showInstallPage(view);
            return 5;
        default:
            return 5;
    }
}

int stepBack(int currentPage, PageView& view) {
    const int page = currentPage - 1;
    switch (page) {
        case 1:
            view.show(kLicencePage, false);
            showWelcomePage(view);
            view.enable(kNextButton, true);
            return 1;
        case 2:
            view.show(kSettingsPage, false);
            if (!view.hasDocument(kLicenceEditor)) {
                showWelcomePage(view);
                return 1;
            }
            view.show(kLicencePage, true);
            view.headerTexts(2);
            return 2;
        case 3:
            view.show(kReadmePage, false);
            showSettingsPage(view);
            return 3;
        case 4:
            view.show(kInstallPage, false);
            view.show(kSidePicture, false);
            view.show(kInstallButton, false);
            view.show(kNextButton, true);
            view.show(kCancelButton, true);
            view.show(kHeaderBand, true);
            if (!view.hasDocument(kReadmeEditor)) {
                showSettingsPage(view);
                return 3;
            }
            view.show(kReadmePage, true);  // the header still holds page 4's texts
            return 4;
        default:
            return 1;
    }
}

}  // namespace brindle
