// Numbered windows and controls over User32, Comctl32 and the rich edit
// control.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "toolkit/display_scale.h"
#include "toolkit/system_libraries.h"
#include "toolkit/ui_state_win32.h"

namespace brindle::ui {

UiState& state() {
    // Made once and never destroyed: the programs end with ExitProcess, so
    // a destructor registered to run at exit never would.
    static UiState& ui = *new UiState;
    return ui;
}

int windowNumberOf(HWND handle) {
    for (const auto& [number, window] : state().windows)
        if (window == handle) return number;
    return 0;
}

int controlIdOf(HWND handle) {
    const int id = handle != nullptr ? GetDlgCtrlID(handle) : 0;
    const ControlRecord* const found = state().controls.find(id);
    return found != nullptr && found->handle == handle ? id : 0;
}

namespace {
HINSTANCE instance() { return GetModuleHandleA(nullptr); }

HWND controlOf(int id) {
    const ControlRecord* const found = state().controls.find(id);
    return found == nullptr ? nullptr : found->handle;
}

struct Style {
    const char* className;
    DWORD style;
    DWORD extendedStyle;
};

Style styleOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Panel: return {kPanelClass, 0, WS_EX_CONTROLPARENT};
        case ControlKind::EdgePanel: return {kPanelClass, 0, WS_EX_CONTROLPARENT | WS_EX_STATICEDGE};
        case ControlKind::Frame: return {"Button", BS_GROUPBOX, 0};
        case ControlKind::Text: return {"Static", SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::CentredText: return {"Static", SS_CENTER | SS_NOPREFIX, 0};
        case ControlKind::RightText: return {"Static", SS_RIGHT | SS_NOPREFIX, 0};
        case ControlKind::Picture: return {"Static", SS_BITMAP, 0};
        case ControlKind::Editor:
            return {state().editorClass, ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Field: return {"Edit", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::Button: return {"Button", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::Option: return {"Button", BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
        case ControlKind::CheckBox: return {"Button", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
        case ControlKind::List: return {"ListBox", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::DropDown: return {"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
        case ControlKind::Tree:
            return {WC_TREEVIEWA, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Link: return {"Static", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0};
        case ControlKind::Separator: return {"Static", SS_ETCHEDHORZ, 0};
    }
    return {"Static", 0, 0};
}

// The corner of a window meant to go over the active one when none is.
constexpr POINT kWithoutActiveWindow{201, 130};

// Where a window of `width` x `height` goes: centred on the screen, or over
// a window, never above or left of the screen's corner.
POINT placementOf(const WindowSpec& layout, int width, int height) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HWND over = nullptr;
    if (layout.placement == Placement::OverActiveWindow) {
        over = GetActiveWindow();
        if (over == nullptr) return kWithoutActiveWindow;
    }
    if (layout.placement == Placement::OverOwner) over = static_cast<HWND>(handleOf(layout.owner));
    if (over != nullptr) GetWindowRect(over, &area);
    POINT corner{area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
    if (corner.x < 0) corner.x = 0;
    if (corner.y < 0) corner.y = 0;
    return corner;
}

ColourRecord colourRecord(Colour text, Colour background) {
    return {text, background, CreateSolidBrush(background)};
}
}  // namespace

bool start() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The version-2 rich edit control when its library is there, else version 1.
    if (loadSystemLibrary("Riched20.dll") == nullptr) {
        loadSystemLibrary("Riched32.dll");
        state().editorClass = "RICHEDIT";
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.hIcon = LoadIconA(instance(), MAKEINTRESOURCEA(1));
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&windowClass)) return false;
    windowClass.lpfnWndProc = panelProcedure;
    windowClass.hIcon = nullptr;
    windowClass.lpszClassName = kPanelClass;
    return RegisterClassExA(&windowClass) != 0;
}

void stop() {
    UiState& ui = state();
    while (!ui.windows.empty()) closeWindow(ui.windows.begin()->first);
    for (auto& [key, font] : ui.fontHandles) DeleteObject(font);
    for (auto& [id, colour] : ui.colours) DeleteObject(colour.brush);
    for (auto& [id, colour] : ui.panelColours) DeleteObject(colour.brush);
    for (auto& [number, slot] : ui.images) release(slot.image);
    ui = UiState{};
}

bool openWindow(const WindowSpec& layout) {
    const DWORD style = WS_POPUP | WS_CAPTION | (layout.systemMenu ? WS_SYSMENU : 0);
    HWND owner = layout.owner ? static_cast<HWND>(handleOf(layout.owner)) : nullptr;
    HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClass, layout.caption.c_str(), style, 0, 0, 0, 0, owner,
                                  nullptr, instance(), nullptr);
    if (window == nullptr) return false;
    // Tools find a window by its number as they find controls by theirs.
    SetWindowLongPtrA(window, GWLP_ID, layout.number);
    state().windows[layout.number] = window;
    // Sized once it exists: only then is its display, and so its scale, known.
    const SIZE outer = outerSize({layout.width, layout.height}, style, WS_EX_CONTROLPARENT, dpiOf(window));
    const POINT corner = placementOf(layout, int(outer.cx), int(outer.cy));
    SetWindowPos(window, nullptr, corner.x, corner.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void showWindow(int number) {
    HWND window = static_cast<HWND>(handleOf(number));
    if (window == nullptr) return;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
}

void closeWindow(int number) {
    UiState& ui = state();
    HWND* const found = ui.windows.find(number);
    if (found == nullptr) return;
    HWND window = *found;
    const auto onWindow = [number](const auto& row) { return row.second.layout.window == number; };
    for (auto& row : ui.controls)
        if (onWindow(row)) release(row.second.scaledImage);
    ui.controls.eraseIf(onWindow);
    DestroyWindow(window);
    ui.windows.eraseIf([number](const auto& row) { return row.first == number; });
    // Events of a window that is gone are of no use to anyone.
    std::erase_if(ui.events, [number](const Event& event) { return event.window == number; });
}

bool addControl(const ControlSpec& layout) {
    HWND parent = layout.parent ? controlOf(layout.parent) : static_cast<HWND>(handleOf(layout.window));
    if (parent == nullptr) return false;
    Style style = styleOf(layout.kind);
    // Options following one another form one group.
    if (layout.kind == ControlKind::Option) {
        HWND last = GetWindow(parent, GW_CHILD) ? GetWindow(GetWindow(parent, GW_CHILD), GW_HWNDLAST) : nullptr;
        const int lastId = controlIdOf(last);
        if (lastId == 0 || state().controls[lastId].layout.kind != ControlKind::Option) style.style |= WS_GROUP;
    }
    const int dpi = dpiOf(static_cast<HWND>(handleOf(layout.window)));
    HWND control = CreateWindowExA(style.extendedStyle, style.className, layout.text.c_str(),
                                   WS_CHILD | WS_VISIBLE | style.style, scaled(layout.x, dpi), scaled(layout.y, dpi),
                                   scaled(layout.width, dpi), scaled(layout.height, dpi), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance(), nullptr);
    if (control == nullptr) return false;
    state().controls[layout.id] = {control, layout, 0, {}};
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(layout.font, dpi)), FALSE);
    if (layout.kind == ControlKind::Editor) SendMessageA(control, EM_EXLIMITTEXT, 0, 0);
    if (layout.kind == ControlKind::Link) SetWindowSubclass(control, linkProcedure, 1, 0);
    return true;
}

void setPanelColour(int panel, Colour colour) { state().panelColours[panel] = colourRecord(RGB(0, 0, 0), colour); }

void registerColours(int control, Colour text, Colour background) {
    state().colours[control] = colourRecord(text, background);
}

void setLinkHighlight(int link, Colour colour) { state().linkHighlights[link] = colour; }

int createFont(const char* face, int points, bool bold) {
    FontSpec font{};
    font.face.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.face.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.face.lfFaceName, face, LF_FACESIZE);
    font.size = -points;  // negative: the height of the characters, not of the cell
    font.sizeDpi = kPointsPerInch;
    state().fonts.push_back(font);
    return int(state().fonts.size());
}

void setText(int control, const std::string& text) {
    if (HWND handle = controlOf(control)) SetWindowTextA(handle, text.c_str());
}

std::string text(int control) {
    HWND handle = controlOf(control);
    if (handle == nullptr) return {};
    std::string value(std::size_t(GetWindowTextLengthA(handle)) + 1, '\0');
    value.resize(std::size_t(GetWindowTextA(handle, value.data(), int(value.size()))));
    return value;
}

void setChecked(int control, bool checked) {
    if (HWND handle = controlOf(control)) SendMessageA(handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool checked(int control) {
    HWND handle = controlOf(control);
    return handle != nullptr && SendMessageA(handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void show(int control, bool visible) {
    if (HWND handle = controlOf(control)) ShowWindow(handle, visible ? SW_SHOW : SW_HIDE);
}

void enable(int control, bool enabled) {
    if (HWND handle = controlOf(control)) EnableWindow(handle, enabled);
}

int addItem(int control, const std::string& text) {
    const ControlRecord* const found = state().controls.find(control);
    if (found == nullptr) return -1;
    const bool list = found->layout.kind == ControlKind::List;
    return int(SendMessageA(found->handle, list ? LB_ADDSTRING : CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text.c_str())));
}

void setItem(int control, int index, const std::string& text) {
    HWND handle = controlOf(control);
    if (handle == nullptr) return;
    SendMessageA(handle, LB_DELETESTRING, WPARAM(index), 0);
    SendMessageA(handle, LB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(text.c_str()));
}

void selectItem(int control, int index) {
    const ControlRecord* const found = state().controls.find(control);
    if (found == nullptr) return;
    const bool list = found->layout.kind == ControlKind::List;
    SendMessageA(found->handle, list ? LB_SETCURSEL : CB_SETCURSEL, WPARAM(index), 0);
}

int selectedItem(int control) {
    const ControlRecord* const found = state().controls.find(control);
    if (found == nullptr) return -1;
    const bool list = found->layout.kind == ControlKind::List;
    return int(SendMessageA(found->handle, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0));
}

void focus(int control) {
    if (HWND handle = controlOf(control)) SetFocus(handle);
}

void* handleOf(int window) {
    HWND* const found = state().windows.find(window);
    return found == nullptr ? nullptr : *found;
}

void* controlHandle(int control) { return controlOf(control); }

}  // namespace brindle::ui
