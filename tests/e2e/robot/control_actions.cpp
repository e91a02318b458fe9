#include "control_actions.h"

#include "window_text.h"

namespace robot {

namespace {

bool isChild(HWND window) {
    return GetWindowLongA(window, GWL_STYLE) & WS_CHILD;
}

// The control itself or the nearest disabled window around it, up to the
// top-level window (disabled while a modal dialog is open); null when the
// control can be used.
HWND disabledPart(HWND control) {
    for (HWND part = control;; part = GetAncestor(part, GA_PARENT)) {
        if (!IsWindowEnabled(part)) return part;
        if (!isChild(part)) return nullptr;
    }
}

std::string disabledReason(HWND control, HWND disabled) {
    if (disabled == control) return "it is disabled";
    if (!isChild(disabled)) return "its window is disabled (is a modal dialog open?)";
    return "the panel around it, " + named(disabled) + ", is disabled";
}

bool isLink(HWND control) {
    return hasClass(control, "Static") && (GetWindowLongA(control, GWL_STYLE) & SS_NOTIFY);
}

Outcome notifyParent(HWND control, WORD code, const Deadline& deadline) {
    WPARAM wParam = MAKEWPARAM(GetDlgCtrlID(control), code);
    if (!deliver(GetAncestor(control, GA_PARENT), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(control), deadline))
        return failed("the window did not take up the notification of " + named(control) + " in time");
    return succeeded();
}

}  // namespace

Outcome click(HWND control, const Deadline& deadline) {
    if (HWND disabled = disabledPart(control))
        return failed(named(control) + " cannot be clicked: " + disabledReason(control, disabled));
    if (hasClass(control, "Button")) {
        if (!deliver(control, BM_CLICK, 0, 0, deadline))
            return failed(named(control) + " did not take up the click in time");
        return succeeded();
    }
    if (isLink(control)) return notifyParent(control, STN_CLICKED, deadline);
    return failed(named(control) + " is neither a button nor a link");
}

Outcome setText(HWND control, const std::string& text, const Deadline& deadline) {
    auto accepted = ask(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), deadline);
    if (!accepted) return failed(named(control) + " did not take the text in time");
    if (*accepted != TRUE) return failed(named(control) + " refused the text");
    return succeeded();
}

Outcome leave(HWND control, const Deadline& deadline) {
    if (!hasClass(control, "Edit")) return failed(named(control) + " is not a field");
    return notifyParent(control, EN_KILLFOCUS, deadline);
}

Outcome select(HWND control, int index, const Deadline& deadline) {
    if (!hasClass(control, "ComboBox")) return failed(named(control) + " is not a drop-down list");
    auto result = ask(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0, deadline);
    if (!result) return failed(named(control) + " did not answer in time");
    if (*result == CB_ERR) return failed(named(control) + " has no item " + std::to_string(index));
    return notifyParent(control, CBN_SELCHANGE, deadline);
}

}  // namespace robot
