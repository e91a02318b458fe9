// The wizard's event loop: one event at a time, each handled completely,
// until a handler sets the quit flag.
#include <windows.h>
#include <shlobj.h>

#include <optional>

#include "config/language_texts.h"
#include "toolkit/path_text.h"
#include "toolkit/programs.h"
#include "toolkit/system_libraries.h"
#include "toolkit/ui.h"
#include "wizard/documents.h"
#include "wizard/folder_fields.h"
#include "wizard/page_navigation.h"
#include "wizard/wizard_ids.h"
#include "wizard/wizard_loop.h"

namespace brindle {

namespace {
class WizardPages : public PageView {
public:
    explicit WizardPages(const LanguageTexts& texts) : texts_(texts) {}
    void show(int control, bool visible) override { ui::show(control, visible); }
    void enable(int control, bool enabled) override { ui::enable(control, enabled); }
    bool isChecked(int control) const override { return ui::checked(control); }
    bool hasDocument(int editor) const override { return editorHasText(editor); }
    void headerTexts(int page) override {
        static constexpr Text kTitles[] = {Text::Page02Titel, Text::Page03Titel, Text::Page04Titel};
        static constexpr Text kMessages[] = {Text::Page02Msg, Text::Page03Msg, Text::Page04Msg};
        ui::setText(kHeaderTitle, texts_.get(kTitles[page - 2]));
        ui::setText(kHeaderMessage, texts_.get(kMessages[page - 2]));
    }
    std::string installFolder() const override { return ui::text(kFolderField); }
    void refuseInstallFolder() override {
        const std::string caption = " " + texts_.get(Text::Page03Titel);
        MessageBoxA(static_cast<HWND>(ui::handleOf(kWizardWindow)), texts_.get(Text::RequesterRQ5Msg).c_str(),
                    caption.c_str(), MB_OK | MB_ICONERROR);
    }

private:
    const LanguageTexts& texts_;
};

int CALLBACK preselectFolder(HWND dialog, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED) SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, folder);
    return 0;
}

// The shell's folder browser; the chosen folder with a trailing "\", or
// empty when the user cancelled.
std::string browseForFolder(const std::string& title, std::string initial) {
    if (initial.size() > 3 && initial.back() == '\\') initial.pop_back();
    std::string chosen;
    CoInitialize(nullptr);  // the new dialog style needs the component library
    BROWSEINFOA info{};
    info.hwndOwner = static_cast<HWND>(ui::handleOf(kWizardWindow));
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = preselectFolder;
    info.lParam = reinterpret_cast<LPARAM>(initial.c_str());
    if (LPITEMIDLIST items = SHBrowseForFolderA(&info)) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(items, path)) chosen = ensureTrailingBackslash(path);
        CoTaskMemFree(items);
    }
    CoUninitialize();
    return chosen;
}

// The end the event brings about, if any.
std::optional<WizardEnd> handleControl(WizardContext& wizard, WizardPages& pages, int& currentPage,
                                       const ui::Event& event) {
    switch (event.control) {
        case kAcceptOption: ui::enable(kNextButton, true); break;
        case kDeclineOption: ui::enable(kNextButton, false); break;
        case kFolderField:
            if (event.type == ui::EventType::LostFocus)
                ui::setText(kFolderField, checkedInstallFolder(ui::text(kFolderField), wizard.programFolderName));
            break;
        case kStartMenuField:
            if (event.type == ui::EventType::LostFocus)
                ui::setText(kStartMenuField, checkedStartMenuFolder(ui::text(kStartMenuField), wizard.startMenuDefault));
            break;
        case kFolderButton: {
            const std::string folder =
                browseForFolder(wizard.texts.get(Text::RequesterRQ2Titel), wizard.defaultInstallFolder);
            if (!folder.empty()) ui::setText(kFolderField, browsedInstallFolder(folder, wizard.programFolderName));
            break;
        }
        case kStartMenuButton: {
            const std::string folder = wizard.chooseStartMenu ? wizard.chooseStartMenu() : std::string();
            if (!folder.empty()) ui::setText(kStartMenuField, chosenStartMenuFolder(folder, wizard.startMenuDefault));
            break;
        }
        case kWebLink:
            // By its full path: a RunDll32.exe beside the installer or in the
            // current folder must never run in its place.
            if (const std::string runDll = systemProgramPath("RunDll32.exe"); !runDll.empty())
                startProgram(runDll, "Url.dll,FileProtocolHandler " + ui::text(kWebLink), "", 0);
            break;
        case kNextButton: currentPage = stepForward(currentPage, pages); break;
        case kBackButton: currentPage = stepBack(currentPage, pages); break;
        case kCancelButton: return WizardEnd::Cancelled;
        case kInstallButton:
            if (acceptInstallFolder(pages) && wizard.install) wizard.install();
            break;
        case kFinishButton: return WizardEnd::Finished;
        default: break;
    }
    return std::nullopt;
}
}  // namespace

WizardEnd runWizardLoop(WizardContext& wizard) {
    WizardPages pages(wizard.texts);
    int currentPage = 1;
    for (;;) {
        const ui::Event event = ui::waitEvent();
        if (event.window != kWizardWindow) continue;
        if (event.kind == ui::EventKind::CloseRequest) return WizardEnd::Closed;
        if (const std::optional<WizardEnd> end = handleControl(wizard, pages, currentPage, event)) return *end;
    }
}

}  // namespace brindle
