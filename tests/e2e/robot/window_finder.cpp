#include "window_finder.h"

#include <cstdlib>
#include <vector>

#include "window_text.h"

namespace robot {

std::optional<WindowQuery> parseWindowQuery(const std::string& argument) {
    WindowQuery query;
    query.argument = argument;
    const std::string prefixMarker = "prefix:";
    if (argument.rfind(prefixMarker, 0) == 0) {
        query.kind = WindowQuery::Kind::CaptionPrefix;
        query.text = argument.substr(prefixMarker.size());
    } else if (argument.size() > 1 && argument[0] == '#') {
        char* end = nullptr;
        query.kind = WindowQuery::Kind::Number;
        query.number = std::strtol(argument.c_str() + 1, &end, 10);
        if (*end != '\0') return std::nullopt;
    } else {
        query.kind = WindowQuery::Kind::Caption;
        query.text = argument;
    }
    return query;
}

namespace {

bool matches(HWND window, const WindowQuery& query) {
    switch (query.kind) {
    case WindowQuery::Kind::Caption:
        return caption(window) == query.text;
    case WindowQuery::Kind::CaptionPrefix:
        return caption(window).rfind(query.text, 0) == 0;
    case WindowQuery::Kind::Number:
        return GetWindowLongPtrA(window, GWLP_ID) == query.number;
    }
    return false;
}

struct WindowSearch {
    const WindowQuery& query;
    const char* requiredClass;
    std::vector<HWND> visible;
    std::vector<HWND> hidden;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    if (search.requiredClass && !hasClass(window, search.requiredClass)) return TRUE;
    if (!matches(window, search.query)) return TRUE;
    (IsWindowVisible(window) ? search.visible : search.hidden).push_back(window);
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
