// What the toolkit keeps about the open windows and controls (Win32 side).
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "toolkit/ui.h"

namespace brindle::ui {

struct ControlRecord {
    HWND handle;
    ControlKind kind;
    int window;
};

struct ColourRecord {
    Colour text;
    Colour background;
    HBRUSH brush;
};

struct ImageSlot {
    HANDLE handle = nullptr;
    bool isIcon = false;
};

struct UiState {
    std::map<int, HWND> windows;
    std::map<int, ControlRecord> controls;
    std::map<int, ColourRecord> colours;      // the colour table
    std::map<int, ColourRecord> panelColours;
    std::map<int, Colour> linkHighlights;
    int hotLink = 0;                          // the link under the pointer
    std::vector<HFONT> fonts;
    std::map<int, ImageSlot> images;
    std::vector<Event> events;                // a few at a time, taken from the front
    const char* editorClass = "RichEdit20A";
};

UiState& state();

// The number of a window or control handle, 0 when it is not one of ours.
int windowNumberOf(HWND handle);
int controlIdOf(HWND handle);

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK panelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK linkProcedure(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);

inline constexpr char kWindowClass[] = "BrindleWindow";
inline constexpr char kPanelClass[] = "BrindlePanel";

}  // namespace brindle::ui
