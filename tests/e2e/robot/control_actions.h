// What a user does to a control, done from outside: each action produces the
// notifications the owner would get from the real action.
#pragma once

#include <windows.h>

#include <string>

#include "deadline.h"
#include "outcome.h"

namespace robot {

// A button, check box or radio button (BM_CLICK, which also changes the
// check state) or a link, a static text with SS_NOTIFY (STN_CLICKED to its
// parent). A disabled control cannot be clicked, nor can one inside a
// disabled panel or window.
Outcome click(HWND control, const Deadline& deadline);

Outcome setText(HWND control, const std::string& text, const Deadline& deadline);

// The field loses the focus: EN_KILLFOCUS to its parent. Moving the real
// focus into another process is unreliable, and the notification is all the
// owner reacts to.
Outcome leave(HWND control, const Deadline& deadline);

// Selects an item of a drop-down list and reports the change to the parent,
// as choosing it with the mouse does.
Outcome select(HWND control, int index, const Deadline& deadline);

}  // namespace robot
