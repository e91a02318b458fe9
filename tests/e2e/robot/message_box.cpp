#include "message_box.h"

#include <string>

#include "window_text.h"

namespace robot {

// Message boxes give their text this control id.
constexpr int kMessageTextId = 0xFFFF;

Outcome readMessage(HWND box, const Deadline& deadline) {
    HWND message = GetDlgItem(box, kMessageTextId);
    if (!message) return failed("the dialog has no message text");
    auto text = controlText(message, deadline);
    if (!text) return failed("the message box did not answer in time");
    return succeeded(*text + "\n");
}

Outcome answerMessage(HWND box, int button, const Deadline& deadline) {
    HWND control = GetDlgItem(box, button);
    if (!control) return failed("the message box has no button " + std::to_string(button));
    // What the button sends when pressed; unlike BM_CLICK it works whether or
    // not the box is the active window.
    if (!deliver(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control), deadline))
        return failed("the message box did not take up the answer in time");
    if (!deadline.waitFor([&] { return !IsWindow(box); })) return failed("the message box stayed open");
    return succeeded();
}

}  // namespace robot
