// Names and texts of windows that belong to another process, and messages
// to them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "deadline.h"

namespace robot {

std::string className(HWND window);
bool hasClass(HWND window, const char* name);  // case-insensitive

// "control ID (CLASS)", for messages.
std::string named(HWND control);

// The caption as the window manager keeps it; never waits for the owner.
std::string caption(HWND window);

// The text the control reports through WM_GETTEXT, in the ANSI code page
// exactly as given; nothing when the owner does not answer in time.
std::optional<std::string> controlText(HWND control, const Deadline& deadline);

// Sends a message and waits for the owner's answer; nothing when it does not
// answer in time.
std::optional<LRESULT> ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const Deadline& deadline);

// Hands over a message as a user's action would arrive: queued without
// waiting for its handler, which may open a modal dialog and stay inside it
// until that is answered, then waits until the owner has taken it up. The
// message must not carry a pointer. False when the owner did not take it up
// in time.
bool deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const Deadline& deadline);

}  // namespace robot
