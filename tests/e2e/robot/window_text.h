// Reading names and texts of windows that belong to another process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "deadline.h"

namespace robot {

std::string className(HWND window);
bool hasClass(HWND window, const char* name);             // case-insensitive
bool classStartsWith(HWND window, const char* prefix);    // case-insensitive

// The caption as the window manager keeps it; never waits for the owner.
std::string caption(HWND window);

// The text the control reports through WM_GETTEXT, in the ANSI code page
// exactly as given; nothing when the owner does not answer in time.
std::optional<std::string> controlText(HWND control, const Deadline& deadline);

// Sends a message and waits for the owner's answer; nothing when it does not
// answer in time.
std::optional<LRESULT> ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const Deadline& deadline);

}  // namespace robot
