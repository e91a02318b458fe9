#include "window_finder.h"

#include <cstdlib>

#include "window_text.h"

namespace robot {

std::optional<long> parseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') return std::nullopt;
    return number;
}

std::optional<WindowQuery> parseWindowQuery(const std::string& argument) {
    if (argument.size() < 2 || argument[0] != '#') return WindowQuery{std::nullopt, argument};
    auto number = parseNumber(argument.substr(1));
    if (!number) return std::nullopt;
    return WindowQuery{number, argument};
}

namespace {

struct WindowSearch {
    const WindowQuery& query;
    const char* requiredClass;
    std::vector<HWND> visible;
    std::vector<HWND> hidden;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    if (search.requiredClass && !hasClass(window, search.requiredClass)) return TRUE;
    const bool matches = search.query.number ? GetWindowLongPtrA(window, GWLP_ID) == *search.query.number
                                             : caption(window) == search.query.argument;
    if (matches) (IsWindowVisible(window) ? search.visible : search.hidden).push_back(window);
    return TRUE;
}

struct ControlSearch {
    int id;
    HWND found = nullptr;
};

BOOL CALLBACK considerControl(HWND control, LPARAM context) {
    auto& search = *reinterpret_cast<ControlSearch*>(context);
    if (GetDlgCtrlID(control) != search.id) return TRUE;
    search.found = control;
    return FALSE;
}

}  // namespace

std::vector<HWND> findWindows(const WindowQuery& query, const char* requiredClass) {
    WindowSearch search{query, requiredClass, {}, {}};
    EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
    search.visible.insert(search.visible.end(), search.hidden.begin(), search.hidden.end());
    return search.visible;
}

HWND findWindow(const WindowQuery& query, const char* requiredClass) {
    auto windows = findWindows(query, requiredClass);
    return windows.empty() ? nullptr : windows.front();
}

HWND findControl(HWND window, int id) {
    ControlSearch search{id};
    EnumChildWindows(window, considerControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace robot
