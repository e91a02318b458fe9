#include "wizard/language_chooser.h"

#include <vector>

#include "config/language_choice.h"
#include "toolkit/ui.h"
#include "wizard/wizard_ids.h"

namespace brindle {

std::string chooseLanguage(const std::string& setting, const std::string& workDirectory) {
    if (!ui::openWindow({kLanguageWindow, " Brindle", 140, 55, false, ui::Placement::ScreenCentre, 0})) return {};
    const std::vector<LanguageChoice> choices = languageChoices(
        setting, [&](const std::string& fileName) { return languageName(workDirectory + fileName); });
    const bool built = ui::addControl({kLanguageList, ui::ControlKind::DropDown, kLanguageWindow, 0, 5, 5, 130, 200, ""}) &&
                       ui::addControl({kLanguageOk, ui::ControlKind::Button, kLanguageWindow, 0, 40, 32, 60, 18, "OK"});
    std::string chosen;
    if (built) {
        ui::showWindow(kLanguageWindow);
        for (const LanguageChoice& choice : choices) ui::addItem(kLanguageList, choice.label);
        ui::selectItem(kLanguageList, 0);
        for (;;) {
            const ui::Event event = ui::waitEvent();
            if (event.window != kLanguageWindow) continue;
            if (event.kind == ui::EventKind::CloseRequest) break;
            const int selected = ui::selectedItem(kLanguageList);
            if (event.control == kLanguageOk && selected >= 0 && selected < int(choices.size())) {
                chosen = choices[std::size_t(selected)].fileName;
                break;
            }
        }
    }
    ui::closeWindow(kLanguageWindow);
    return chosen;
}

}  // namespace brindle
