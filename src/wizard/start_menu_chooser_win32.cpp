// The start-menu folder chooser: window 2 with the tree of existing start-menu
// folders and Apply, waiting for the user in a loop of its own.
#include <windows.h>

#include "config/language_texts.h"
#include "config/system_folders.h"
#include "toolkit/ui.h"
#include "wizard/start_menu_chooser.h"
#include "wizard/start_menu_folders.h"
#include "wizard/wizard_ids.h"

namespace brindle {

namespace {
std::vector<std::string> subFolderNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((folder + "*.*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
    return names;
}

bool buildChooser(const LanguageTexts& texts) {
    const ui::WindowSpec window{kStartMenuWindow, " " + texts.get(Text::RequesterRQ3Titel), 220, 300, true,
                                ui::Placement::OverOwner, kWizardWindow};
    return ui::openWindow(window) &&
           ui::addControl({kStartMenuTree, ui::ControlKind::Tree, kStartMenuWindow, 0, 10, 10, 200, 260, ""}) &&
           ui::addControl({kApplyButton, ui::ControlKind::Button, kStartMenuWindow, 0, 75, 276, 70, 20,
                           texts.get(Text::ButtonsApply)});
}

// Waits for Apply or the close box; everything else, the wizard's events
// included, is dropped meanwhile.
std::string waitForChoice(const LanguageTexts& texts) {
    for (;;) {
        const ui::Event event = ui::waitEvent();
        if (event.window != kStartMenuWindow) continue;
        if (event.kind == ui::EventKind::CloseRequest) return {};
        if (event.control != kApplyButton) continue;
        const int selected = ui::selectedTreeItem(kStartMenuTree);
        const std::string chosen = selectedTreePath(ui::treeItems(kStartMenuTree), selected);
        if (!chosen.empty()) return chosen;
        const std::string caption = " " + texts.get(Text::RequesterRQ1Titel);
        MessageBoxA(static_cast<HWND>(ui::handleOf(kStartMenuWindow)), texts.get(Text::RequesterRQ1Msg).c_str(),
                    caption.c_str(), MB_OK | MB_ICONERROR);
        return ui::text(kStartMenuField);
    }
}
}  // namespace

std::string chooseStartMenuFolder(const LanguageTexts& texts) {
    std::string chosen;
    if (buildChooser(texts)) {
        ui::showWindow(kStartMenuWindow);
        std::vector<std::string> folders;
        collectStartMenuFolders(folders, [](int code) { return folderPath(code); }, subFolderNames);
        for (const ui::TreeItem& item : startMenuTreeItems(folders))
            ui::addTreeItem(kStartMenuTree, item.text, item.level);
        // The tree selects its first item when it gets the focus; the field's
        // folder, or none, replaces that.
        ui::focus(kStartMenuTree);
        ui::selectTreeItem(kStartMenuTree, findTreeItem(ui::treeItems(kStartMenuTree), ui::text(kStartMenuField)));
        chosen = waitForChoice(texts);
    }
    ui::closeWindow(kStartMenuWindow);
    return chosen;
}

}  // namespace brindle
