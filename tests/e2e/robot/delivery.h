// Handing a message to another process's window as a user's action would
// arrive there.
#pragma once

#include <windows.h>

#include "deadline.h"

namespace robot {

// Queues the message without waiting for its handler, which may open a modal
// dialog and stay inside it until that is answered, then waits until the
// owner has taken it up. The message must not carry a pointer. False when
// the owner did not take it up in time.
bool deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const Deadline& deadline);

}  // namespace robot
