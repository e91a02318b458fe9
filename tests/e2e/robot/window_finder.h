// Finding the installer's top-level windows and their controls.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace robot {

// A whole decimal number; nothing for anything else.
std::optional<long> parseNumber(const std::string& text);

// How a command names a window: its exact caption, or "#N" for the window
// number N that the installer stores as the top-level window's id.
struct WindowQuery {
    std::optional<long> number;  // none: by caption
    std::string argument;        // as given
};

// Nothing when "#" is not followed by a number.
std::optional<WindowQuery> parseWindowQuery(const std::string& argument);

// The top-level windows that match, visible ones first, each group from the
// top of the z-order down; `requiredClass` restricts the search to one
// window class.
std::vector<HWND> findWindows(const WindowQuery& query, const char* requiredClass = nullptr);

// The first of findWindows; null when none matches.
HWND findWindow(const WindowQuery& query, const char* requiredClass = nullptr);

// The descendant with control id `id`, however deeply nested; null when none.
HWND findControl(HWND window, int id);

}  // namespace robot
