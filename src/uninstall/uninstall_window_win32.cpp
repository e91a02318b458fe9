#include "uninstall/uninstall_window.h"

#include "toolkit/ui.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_ids.h"
#include "uninstall/uninstall_record.h"

namespace brindle {

namespace {
using ui::ControlKind;

struct ControlRow {
    int id;
    ControlKind kind;
    int x, y, width, height;
    bool bold;
};

constexpr ControlRow kControls[] = {
    {kQuestionText, ControlKind::Text, 15, 15, 370, 30, false},
    {kInfoText, ControlKind::Text, 15, 55, 370, 15, false},
    {kProgramText, ControlKind::Text, 30, 75, 355, 18, true},
    {kDeleteAllCheck, ControlKind::CheckBox, 15, 105, 370, 18, false},
    {kUninstallStatus, ControlKind::Text, 15, 135, 370, 15, true},
    {kLeftoverList, ControlKind::List, 15, 155, 370, 62, false},
    {kUninstallOk, ControlKind::Button, 215, 228, 80, 22, false},
    {kUninstallCancel, ControlKind::Button, 305, 228, 80, 22, false},
};

std::string textOf(int id, const UninstallRecord& record) {
    const UninstallTexts& texts = record.texts;
    switch (id) {
        case kQuestionText: return texts.msg;
        case kInfoText: return texts.uninstInfo;
        case kProgramText: return record.version.empty() ? record.progName : record.progName + " " + record.version;
        case kDeleteAllCheck: return texts.delAll;
        case kUninstallOk: return texts.ok;
        case kUninstallCancel: return texts.cancel;
        default: return {};
    }
}
}  // namespace

bool openUninstallWindow(const UninstallRecord& record, bool offerDeleteAll) {
    const int plain = ui::createFont("Arial", 9, false), bold = ui::createFont("Arial", 9, true);
    if (!ui::openWindow({kUninstallWindow, " " + record.texts.titel, 400, 260, true, ui::Placement::ScreenCentre, 0}))
        return false;
    for (const ControlRow& row : kControls)
        if (!ui::addControl({row.id, row.kind, kUninstallWindow, 0, row.x, row.y, row.width, row.height,
                             textOf(row.id, record), row.bold ? bold : plain}))
            return false;
    ui::show(kLeftoverList, false);
    ui::show(kDeleteAllCheck, offerDeleteAll);
    ui::showWindow(kUninstallWindow);
    ui::focus(kUninstallCancel);
    return true;
}

bool waitForConfirmation() {
    for (;;) {
        const ui::Event event = ui::waitEvent();
        if (event.kind == ui::EventKind::CloseRequest) return false;
        if (event.control == kUninstallOk) return true;
        if (event.control == kUninstallCancel) return false;
    }
}

bool deleteAllChosen() { return ui::checked(kDeleteAllCheck); }

void showWorking() {
    for (int control : {kDeleteAllCheck, kUninstallOk, kUninstallCancel}) ui::enable(control, false);
}

void showOutcome(const UninstallRecord& record, const RemovalOutcome& outcome) {
    ui::setText(kUninstallStatus, outcome.allRemoved() ? record.texts.status : record.texts.error);
    for (const std::string& path : outcome.stayed) ui::addItem(kLeftoverList, path);
    for (const auto& [heading, items] : {std::pair{&record.texts.changed, &outcome.untrusted},
                                         std::pair{&record.texts.kept, &outcome.kept}}) {
        if (!items->empty()) ui::addItem(kLeftoverList, *heading);
        for (const std::string& path : *items) ui::addItem(kLeftoverList, "   " + path);
    }
    ui::show(kLeftoverList, !outcome.stayed.empty() || !outcome.untrusted.empty() || !outcome.kept.empty());
    ui::show(kUninstallCancel, false);
    ui::setText(kUninstallOk, record.texts.ready);
    ui::enable(kUninstallOk, true);
    ui::focus(kUninstallOk);
}

void waitForClose() {
    for (;;) {
        const ui::Event event = ui::waitEvent();
        if (event.kind == ui::EventKind::CloseRequest || event.control == kUninstallOk) return;
    }
}

}  // namespace brindle
