#include "wizard/wizard_window.h"

#include "config/language_texts.h"
#include "toolkit/ui.h"
#include "wizard/wizard_ids.h"

namespace brindle {

namespace {
using ui::ControlKind;

enum Font { kDefaultFont, kArial8, kArial8Bold, kArial9, kArial9Bold, kArial12Bold, kSansSerif8Bold, kFontCount };

struct ControlRow {
    int id;
    ControlKind kind;
    int parent;  // 0: the window
    int x, y, width, height;
    Font font;
};

// Every control of the wizard in creation order; texts are set below.
constexpr ControlRow kControls[] = {
    {kWelcomePage, ControlKind::Panel, 0, 130, 0, 350, 300, kDefaultFont},
    {kWelcomeTitle, ControlKind::CentredText, kWelcomePage, 10, 10, 330, 60, kArial12Bold},
    {kWelcomeText, ControlKind::Text, kWelcomePage, 10, 80, 330, 120, kArial9},
    {kWelcomeFoot, ControlKind::Text, kWelcomePage, 10, 245, 330, 45, kArial9},
    {kSidePicture, ControlKind::Picture, 0, 0, 0, 130, 300, kDefaultFont},
    {kHeaderBand, ControlKind::Panel, 0, 0, 0, 480, 48, kDefaultFont},
    {kHeaderTitle, ControlKind::Text, kHeaderBand, 10, 10, 415, 15, kArial8Bold},
    {kHeaderMessage, ControlKind::Text, kHeaderBand, 20, 25, 405, 15, kArial8},
    {kHeaderIcon, ControlKind::Picture, kHeaderBand, 440, 9, 32, 32, kDefaultFont},
    {kLicencePage, ControlKind::EdgePanel, 0, 0, 50, 480, 250, kDefaultFont},
    {kLicenceEditor, ControlKind::Editor, kLicencePage, 10, 10, 455, 190, kDefaultFont},
    {kAcceptOption, ControlKind::Option, kLicencePage, 10, 208, 455, 15, kArial9},
    {kDeclineOption, ControlKind::Option, kLicencePage, 10, 227, 455, 15, kArial9},
    {kSettingsPage, ControlKind::EdgePanel, 0, 0, 50, 480, 250, kDefaultFont},
    {kFolderLabel, ControlKind::Text, kSettingsPage, 10, 35, 375, 15, kArial9},
    {kFolderField, ControlKind::Field, kSettingsPage, 10, 55, 300, 20, kDefaultFont},
    {kFolderButton, ControlKind::Button, kSettingsPage, 315, 55, 60, 20, kDefaultFont},
    {kStartMenuLabel, ControlKind::Text, kSettingsPage, 10, 120, 375, 15, kArial9},
    {kStartMenuField, ControlKind::Field, kSettingsPage, 10, 140, 175, 20, kDefaultFont},
    {kStartMenuButton, ControlKind::Button, kSettingsPage, 190, 140, 60, 20, kDefaultFont},
    {kDesktopCheck, ControlKind::CheckBox, kSettingsPage, 10, 195, 370, 15, kArial9},
    {kReadmePage, ControlKind::EdgePanel, 0, 0, 50, 480, 250, kDefaultFont},
    {kReadmeEditor, ControlKind::Editor, kReadmePage, 10, 10, 455, 225, kDefaultFont},
    {kInstallPage, ControlKind::Panel, 0, 130, 0, 350, 300, kDefaultFont},
    {kInstallTitle, ControlKind::CentredText, kInstallPage, 10, 15, 330, 50, kArial12Bold},
    {kInstallMessage, ControlKind::CentredText, kInstallPage, 10, 260, 330, 40, kArial9},
    {kStatusLine, ControlKind::Text, kInstallPage, 10, 75, 330, 15, kArial9Bold},
    {kStartProgramCheck, ControlKind::CheckBox, kInstallPage, 10, 245, 330, 15, kArial9},
    {kProgressList, ControlKind::List, kInstallPage, 10, 100, 330, 130, kDefaultFont},
    {kWebLink, ControlKind::Link, 0, 10, 310, 240, 15, kArial8Bold},
    {kBackButton, ControlKind::Button, 0, 270, 307, 60, 22, kDefaultFont},
    {kNextButton, ControlKind::Button, 0, 335, 307, 60, 22, kDefaultFont},
    {kInstallButton, ControlKind::Button, 0, 335, 307, 70, 22, kSansSerif8Bold},
    {kCancelButton, ControlKind::Button, 0, 415, 307, 60, 22, kDefaultFont},
    {kFinishButton, ControlKind::Button, 0, 420, 307, 55, 22, kDefaultFont},
};

std::string textAtBuild(int id, const LanguageTexts& texts) {
    switch (id) {
        case kWelcomeTitle: return texts.get(Text::Page01Titel);
        case kWelcomeText:
            return texts.get(Text::Page01Msg1) + "\n\n" + texts.get(Text::Page01Msg2) + "\n\n" +
                   texts.get(Text::Page01Msg3);
        case kWelcomeFoot: return texts.get(Text::Page01CopyRight);
        case kHeaderTitle: return texts.get(Text::Page02Titel);
        case kHeaderMessage: return texts.get(Text::Page02Msg);
        case kAcceptOption: return texts.get(Text::Page02AcceptYes);
        case kDeclineOption: return texts.get(Text::Page02AcceptNo);
        case kFolderLabel: return texts.get(Text::Page03ProgDir);
        case kFolderButton:
        case kStartMenuButton: return texts.get(Text::ButtonsChange);
        case kStartMenuLabel: return texts.get(Text::Page03MenuDir);
        case kDesktopCheck: return texts.get(Text::Page03DesktopIcon);
        case kInstallTitle: return texts.get(Text::Page05Titel1);
        case kInstallMessage: return texts.get(Text::Page05Msg);
        case kStatusLine: return texts.get(Text::Page05Install);
        case kStartProgramCheck: return texts.get(Text::Page05RunProg);
        case kBackButton: return "< " + texts.get(Text::ButtonsBack);
        case kNextButton: return texts.get(Text::ButtonsNext) + " >";
        case kInstallButton: return texts.get(Text::ButtonsInstall);
        case kCancelButton: return texts.get(Text::ButtonsCancel);
        case kFinishButton: return texts.get(Text::ButtonsFinish);
        default: return {};
    }
}
}  // namespace

bool buildWizard(const std::string& windowTitle, const LanguageTexts& texts) {
    int fonts[kFontCount] = {0};
    fonts[kArial8] = ui::createFont("Arial", 8, false);
    fonts[kArial8Bold] = ui::createFont("Arial", 8, true);
    fonts[kArial9] = ui::createFont("Arial", 9, false);
    fonts[kArial9Bold] = ui::createFont("Arial", 9, true);
    fonts[kArial12Bold] = ui::createFont("Arial", 12, true);
    fonts[kSansSerif8Bold] = ui::createFont("MS Sans Serif", 8, true);

    if (!ui::openWindow({kWizardWindow, " " + windowTitle, 480, 335, false, ui::Placement::ScreenCentre, 0}))
        return false;
    for (const ControlRow& row : kControls) {
        if (!ui::addControl({row.id, row.kind, kWizardWindow, row.parent, row.x, row.y, row.width, row.height,
                             textAtBuild(row.id, texts), fonts[row.font]}))
            return false;
    }
    for (int page : {kWelcomePage, kHeaderBand, kInstallPage}) ui::setPanelColour(page, ui::kWhite);
    ui::registerColours(kStartProgramCheck, ui::kBlack, ui::kWhite);
    ui::setLinkHighlight(kWebLink, 0x804000);  // red 0, green 64, blue 128
    for (int hidden : {kHeaderBand, kReadmePage, kLicencePage, kSettingsPage, kInstallPage, kStartProgramCheck,
                       kBackButton, kInstallButton, kFinishButton})
        ui::show(hidden, false);
    ui::showWindow(kWizardWindow);
    return true;
}

void addSeparator() {
    ui::addControl({kSeparator, ControlKind::Separator, kWizardWindow, 0, 0, 300, 483, 2, {}, kDefaultFont});
}

}  // namespace brindle
