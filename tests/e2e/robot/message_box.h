// The message boxes the installer shows: reading their text and answering them.
#pragma once

#include <windows.h>

#include "deadline.h"
#include "outcome.h"

namespace robot {

// The window class of dialogs, message boxes among them.
inline constexpr char kDialogClass[] = "#32770";

// The message followed by one line feed.
Outcome readMessage(HWND box, const Deadline& deadline);

// Presses the button with the standard id (IDOK, IDCANCEL, IDYES, IDNO) and
// waits until the box has closed.
Outcome answerMessage(HWND box, int button, const Deadline& deadline);

}  // namespace robot
