#include "window_text.h"

namespace robot {

std::string className(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool hasClass(HWND window, const char* name) {
    return lstrcmpiA(className(window).c_str(), name) == 0;
}

std::string named(HWND control) {
    return "control " + std::to_string(GetDlgCtrlID(control)) + " (" + className(control) + ")";
}

std::string caption(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::optional<LRESULT> ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const Deadline& deadline) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, deadline.remainingMs(), &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

bool deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const Deadline& deadline) {
    if (!SendNotifyMessageA(window, message, wParam, lParam)) return false;
    // Messages sent from another thread are handled in the order they came,
    // so the owner answers this one only once it has handled the first or
    // entered a message loop of its own (a modal dialog) while handling it.
    // A handler that destroyed the window has handled it as well.
    return ask(window, WM_NULL, 0, 0, deadline).has_value() || !IsWindow(window);
}

std::optional<std::string> controlText(HWND control, const Deadline& deadline) {
    auto length = ask(control, WM_GETTEXTLENGTH, 0, 0, deadline);
    if (!length) return std::nullopt;
    // The reported length may fall short (rich edits count line ends their
    // own way), so a text that fills the buffer is read again into a larger one.
    std::string text(static_cast<size_t>(*length) + 2, '\0');
    for (;;) {
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                                 SMTO_NORMAL, deadline.remainingMs(), &copied))
            return std::nullopt;
        if (copied + 1 < text.size()) {
            text.resize(copied);
            return text;
        }
        text.assign(text.size() * 2, '\0');
    }
}

}  // namespace robot
