// The fixed layouts at the density of the display a window is on: its dots
// per inch, the fonts made for them, and a new layout when the window moves
// to a display of another scale. The functions that tell a window's own
// density came with later systems; without them every window has the
// screen's.
#include <windows.h>

#include "toolkit/display_scale.h"
#include "toolkit/system_libraries.h"
#include "toolkit/ui_state_win32.h"

namespace brindle::ui {

namespace {
// A User32 function of newer systems, null where the system lacks it.
template <typename Function>
Function newerFunction(const char* name) {
    return libraryFunction<Function>(loadSystemLibrary("user32.dll"), name);
}

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kLayoutDpi;
}

// The default GUI font is a stock object made for the screen's density at
// start; its copies are made from its description for other densities.
FontSpec defaultFontSpec() {
    FontSpec description{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof description.face, &description.face);
    description.size = description.face.lfHeight;
    description.sizeDpi = screenDpi();
    return description;
}
}  // namespace

int dpiOf(HWND window) {
    static const auto getDpiForWindow = newerFunction<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr && window != nullptr ? getDpiForWindow(window) : 0;
    return dpi != 0 ? int(dpi) : screenDpi();
}

HFONT fontFor(int number, int dpi) {
    UiState& ui = state();
    if (number < 0 || number > int(ui.fonts.size())) number = 0;
    HFONT& font = ui.fontHandles[{number, dpi}];
    if (font == nullptr) {
        FontSpec description = number > 0 ? ui.fonts[std::size_t(number - 1)] : defaultFontSpec();
        description.face.lfHeight = scaled(description.size, dpi, description.sizeDpi);
        font = CreateFontIndirectA(&description.face);
    }
    return font;
}

SIZE outerSize(SIZE inner, DWORD style, DWORD extendedStyle, int dpi) {
    static const auto adjustForDpi =
        newerFunction<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, scaled(int(inner.cx), dpi), scaled(int(inner.cy), dpi)};
    if (adjustForDpi != nullptr) adjustForDpi(&frame, style, FALSE, extendedStyle, UINT(dpi));
    else AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void placeControl(const ControlRecord& control, int dpi) {
    const ControlSpec& layout = control.layout;
    SetWindowPos(control.handle, nullptr, scaled(layout.x, dpi), scaled(layout.y, dpi), scaled(layout.width, dpi),
                 scaled(layout.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(layout.font, dpi)), TRUE);
}

void layOutAgain(HWND window, int dpi, const RECT& suggested) {
    const int number = windowNumberOf(window);
    for (auto& [id, control] : state().controls) {
        if (control.layout.window != number) continue;
        placeControl(control, dpi);
        if (control.imageSlot != 0) showImage(id, control.imageSlot);
    }
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace brindle::ui
