// The uninstaller's window (window 5): the question, the program, the
// DelAll choice, a status line with the list of what stayed, OK and Cancel.
#pragma once

#include <string>
#include <vector>

namespace brindle {

struct RemovalOutcome;
struct UninstallRecord;

// Opens and shows the window; the DelAll check box only with
// `offerDeleteAll`. False when it cannot be made.
bool openUninstallWindow(const UninstallRecord& record, bool offerDeleteAll);

// Blocks until OK (true), Cancel or a close request (false).
bool waitForConfirmation();
bool deleteAllChosen();
// While the removal runs: nothing to click.
void showWorking();
// The status line says how it went, the list names what stayed, then under
// their headings what was left as uninstall.dat was changed and the files
// kept as the user's; OK turns into the Ready button that closes the window.
void showOutcome(const UninstallRecord& record, const RemovalOutcome& outcome);
void waitForClose();

}  // namespace brindle
