// Runs the version conflict dialog and the version lookup on their own, with
// the built-in English texts, and prints what they gave:
//   summary FILE...           the version summary of each FILE, one a line
//   ask NEW CURRENT           the dialog on its own; prints "yes" or "no"
//   ask-behind NEW CURRENT    the same in front of a window 1 with a button 6
//                             (a stand-in for the wizard)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "config/language_texts.h"
#include "toolkit/ui.h"
#include "wizard/version_dialog.h"
#include "wizard/version_info.h"

using namespace brindle;

namespace {
bool openWindowBehind() {
    return ui::openWindow({1, " Behind", 480, 335, true, ui::Placement::ScreenCentre, 0}) &&
           ui::addControl({6, ui::ControlKind::Button, 1, 0, 300, 300, 80, 22, "Next"});
}
}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "summary") == 0) {
        for (int file = 2; file < argc; ++file) std::printf("%s\n", readVersionInfo(argv[file]).c_str());
        return 0;
    }
    const bool behind = argc == 4 && std::strcmp(argv[1], "ask-behind") == 0;
    if (!behind && !(argc == 4 && std::strcmp(argv[1], "ask") == 0)) {
        std::fprintf(stderr, "usage: brindle-version-probe summary FILE... | ask NEW CURRENT | ask-behind NEW CURRENT\n");
        return 2;
    }
    if (!ui::start() || (behind && !openWindowBehind())) return 1;
    if (behind) ui::showWindow(1);
    // As the install step does: the copy follows a Yes.
    const bool replaced = confirmReplaceFile(argv[2], argv[3], LanguageTexts("Probe", ""));
    if (replaced) CopyFileA(argv[2], argv[3], FALSE);
    ui::stop();
    std::printf("%s\n", replaced ? "yes" : "no");
    return 0;
}
