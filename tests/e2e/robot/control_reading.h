// What a test reads from another process's windows and their controls. Each
// reading is the command's complete output.
#pragma once

#include <windows.h>

#include "deadline.h"
#include "outcome.h"

namespace robot {

// The text followed by one line feed; line ends inside are kept as they are.
Outcome readText(HWND control, const Deadline& deadline);

// "checked=0|1 visible=0|1 shown=0|1 enabled=0|1": visible is whether the
// control can be seen (it and all windows around it are shown), shown is the
// control's own WS_VISIBLE style, enabled its own state.
Outcome readState(HWND control, const Deadline& deadline);

// The items of a list box or drop-down list, one a line, then "selected=N"
// (-1 for none).
Outcome readItems(HWND control, const Deadline& deadline);

// "x=N y=N width=N height=N sysmenu=0|1": the window's corner on the screen,
// its inner size and whether its caption bar has the system menu.
Outcome readGeometry(HWND window);

// "x=N y=N width=N height=N font=N items=N": the control's rectangle in the
// client area of its top window, the height of the font it was given
// (WM_SETFONT; 0 for none, or where the system does not tell another process)
// and the height of a line of a list box, drop-down list or tree view (0 for
// other controls).
Outcome readRect(HWND control, const Deadline& deadline);

// Every control in the window, one a line: id, class, visible, enabled and
// text, tab separated, with line ends and tabs in the text escaped.
Outcome dumpControls(HWND window, const Deadline& deadline);

}  // namespace robot
