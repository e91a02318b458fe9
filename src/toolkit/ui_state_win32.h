// What the toolkit keeps about the open windows and controls (Win32 side).
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "toolkit/numbered_table.h"
#include "toolkit/ui.h"

namespace brindle::ui {

struct Image {
    HANDLE handle = nullptr;
    bool isIcon = false;
};

// Destroys the image, if any, and empties it.
void release(Image& image);

struct ControlRecord {
    HWND handle;
    ControlSpec layout;     // in layout units: the control is placed anew at another density
    int imageSlot = 0;      // the slot a picture shows, 0 for none
    Image scaledImage;      // the picture made for the window's density; empty at the layout's own
};

struct ColourRecord {
    Colour text;
    Colour background;
    HBRUSH brush;
};

struct ImageSlot {
    Image image;            // at the layout's density
    std::string iconFile;   // where an icon came from, loaded again at other sizes; empty for the program's
};

// A font as created; its height at a density is scaled(size, dpi, sizeDpi).
struct FontSpec {
    LOGFONTA face;
    int size;
    int sizeDpi;
};

struct UiState {
    NumberedTable<int, HWND> windows;
    NumberedTable<int, ControlRecord> controls;
    NumberedTable<int, ColourRecord> colours;      // the colour table
    NumberedTable<int, ColourRecord> panelColours;
    NumberedTable<int, Colour> linkHighlights;
    int hotLink = 0;                          // the link under the pointer
    std::vector<FontSpec> fonts;              // font number n at n - 1
    NumberedTable<std::pair<int, int>, HFONT> fontHandles;  // by font number (0 the default) and density
    NumberedTable<int, ImageSlot> images;
    std::vector<Event> events;                // a few at a time, taken from the front
    const char* editorClass = "RichEdit20A";
};

UiState& state();

// The number of a window or control handle, 0 when it is not one of ours.
int windowNumberOf(HWND handle);
int controlIdOf(HWND handle);

// The dots per inch a window is shown at.
int dpiOf(HWND window);

// Font `number` (0 the default GUI font) made for `dpi`, made once.
HFONT fontFor(int number, int dpi);

// The outer size of a window whose inner size is `inner` in layout units.
SIZE outerSize(SIZE inner, DWORD style, DWORD extendedStyle, int dpi);

// Moves and sizes a control to its layout at `dpi`, with its font.
void placeControl(const ControlRecord& control, int dpi);

// Places every control of a window that moved to a display of `dpi`, and
// the window in `suggested`, the system's rectangle for it there.
void layOutAgain(HWND window, int dpi, const RECT& suggested);

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK panelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK linkProcedure(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);

inline constexpr char kWindowClass[] = "BrindleWindow";
inline constexpr char kPanelClass[] = "BrindlePanel";

}  // namespace brindle::ui
