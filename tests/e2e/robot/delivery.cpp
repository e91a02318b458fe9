#include "delivery.h"

#include "window_text.h"

namespace robot {

bool deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const Deadline& deadline) {
    if (!SendNotifyMessageA(window, message, wParam, lParam)) return false;
    // Messages sent from another thread are handled in the order they came,
    // so the owner answers this one only once it has handled the first or
    // entered a message loop of its own (a modal dialog) while handling it.
    // A handler that destroyed the window has handled it as well.
    return ask(window, WM_NULL, 0, 0, deadline).has_value() || !IsWindow(window);
}

}  // namespace robot
