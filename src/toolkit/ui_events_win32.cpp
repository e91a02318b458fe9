// The event queue and the window procedures that feed it: notifications of
// the controls (passed up through their panels), close requests, moves to a
// display of another scale, the colour table, and the links' cursor and
// highlight.
#include <windows.h>
#include <commctrl.h>

#include "toolkit/ui_state_win32.h"

namespace brindle::ui {

namespace {
// The notifications that make control events; others (text changes,
// focus gained, ...) are not events of the installer.
bool toEvent(const ControlRecord& control, WORD code, EventType& type) {
    switch (control.layout.kind) {
        case ControlKind::Field:
            type = EventType::LostFocus;
            return code == EN_KILLFOCUS;
        case ControlKind::List:
        case ControlKind::DropDown:
            type = EventType::Other;
            return code == LBN_SELCHANGE;  // the same value as CBN_SELCHANGE
        case ControlKind::Button:
        case ControlKind::Option:
        case ControlKind::CheckBox:
        case ControlKind::Link:
            type = EventType::Other;
            return code == BN_CLICKED;  // the same value as STN_CLICKED
        default:
            return false;
    }
}

// Events can arrive inside a sent message, which GetMessage handles without
// returning; a posted no-op makes the waiting loop look at the queue.
void queue(const Event& event) {
    state().events.push_back(event);
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void queueNotification(WPARAM wParam, LPARAM lParam) {
    const int id = controlIdOf(reinterpret_cast<HWND>(lParam));
    const ControlRecord* const found = state().controls.find(id);
    EventType type;
    if (found != nullptr && toEvent(*found, HIWORD(wParam), type))
        queue({EventKind::Control, found->layout.window, id, type});
}

// Colours for the static, edit, list and button controls that ask for them.
LRESULT colourFor(HWND asking, HDC dc, int panelId, bool& handled) {
    UiState& ui = state();
    const int id = controlIdOf(asking);
    handled = true;
    if (const ColourRecord* const found = ui.colours.find(id)) {
        SetTextColor(dc, found->text);
        SetBkColor(dc, found->background);
        SetBkMode(dc, OPAQUE);
        return reinterpret_cast<LRESULT>(found->brush);
    }
    if (const Colour* const link = ui.linkHighlights.find(id)) {
        SetTextColor(dc, ui.hotLink == id ? *link : RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    if (const ColourRecord* const panel = ui.panelColours.find(panelId)) {
        SetBkColor(dc, panel->background);
        SetBkMode(dc, OPAQUE);
        return reinterpret_cast<LRESULT>(panel->brush);
    }
    handled = false;
    return 0;
}

bool isColourRequest(UINT message) {
    return message == WM_CTLCOLORSTATIC || message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ||
           message == WM_CTLCOLORBTN;
}

// Tab and Shift+Tab move the focus through the controls of the window.
bool moveFocus(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || windowNumberOf(root) == 0) return false;
    HWND next = GetNextDlgTabItem(root, GetFocus(), GetKeyState(VK_SHIFT) < 0);
    if (next != nullptr) SetFocus(next);
    return true;
}

void dispatch(MSG& message) {
    if (moveFocus(message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}
}  // namespace

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0) queueNotification(wParam, lParam);
            return 0;
        case WM_CLOSE:
            queue({EventKind::CloseRequest, windowNumberOf(window), 0, EventType::Other});
            return 0;
        case WM_DPICHANGED:
            layOutAgain(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            break;
    }
    if (isColourRequest(message)) {
        bool handled;
        const LRESULT brush = colourFor(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), 0, handled);
        if (handled) return brush;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK panelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    const int panelId = controlIdOf(panel);
    if (message == WM_COMMAND) {
        if (lParam != 0) queueNotification(wParam, lParam);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        if (const ColourRecord* const colour = state().panelColours.find(panelId)) {
            RECT area;
            GetClientRect(panel, &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area, colour->brush);
            return 1;
        }
    }
    if (isColourRequest(message)) {
        bool handled;
        const LRESULT brush =
            colourFor(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), panelId, handled);
        if (handled) return brush;
    }
    return DefWindowProcA(panel, message, wParam, lParam);
}

LRESULT CALLBACK linkProcedure(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    UiState& ui = state();
    const int id = controlIdOf(link);
    switch (message) {
        case WM_SETCURSOR: {
            HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
            SetCursor(hand != nullptr ? hand : LoadCursor(nullptr, IDC_ARROW));
            return TRUE;
        }
        case WM_MOUSEMOVE:
            if (ui.hotLink != id) {
                ui.hotLink = id;
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, link, 0};
                TrackMouseEvent(&track);
                InvalidateRect(link, nullptr, TRUE);
            }
            break;
        case WM_MOUSELEAVE:
            ui.hotLink = 0;
            InvalidateRect(link, nullptr, TRUE);
            break;
        default:
            break;
    }
    return DefSubclassProc(link, message, wParam, lParam);
}

Event waitEvent() {
    UiState& ui = state();
    MSG message;
    while (ui.events.empty() && GetMessageA(&message, nullptr, 0, 0) > 0) dispatch(message);
    if (ui.events.empty()) return {EventKind::CloseRequest, 0, 0, EventType::Other};  // the queue was shut
    const Event event = ui.events.front();
    ui.events.erase(ui.events.begin());
    return event;
}

bool takeEvent(Event& event) {
    UiState& ui = state();
    MSG message;
    while (ui.events.empty() && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) dispatch(message);
    if (ui.events.empty()) return false;
    event = ui.events.front();
    ui.events.erase(ui.events.begin());
    return true;
}

}  // namespace brindle::ui
