#include "control_reading.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <commctrl.h>

#include "window_text.h"

namespace robot {

namespace {

// The messages that read the items of one kind of list.
struct ListMessages {
    UINT count, textLength, text, selection;
};
constexpr ListMessages kListBox{LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL};
constexpr ListMessages kComboBox{CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL};

struct ItemHeightMessage {
    const char* className;
    UINT message;
};
constexpr ItemHeightMessage kItemHeightMessages[] = {
    {"ListBox", LB_GETITEMHEIGHT}, {"ComboBox", CB_GETITEMHEIGHT}, {WC_TREEVIEWA, TVM_GETITEMHEIGHT}};

Outcome tooSlow(HWND control) { return failed(named(control) + " did not answer in time"); }

// Item texts are read in UTF-16 and converted to the ANSI code page, which
// gives the bytes the ANSI messages would: Wine hands the ANSI forms of these
// messages to another process without converting the text. Nothing when the
// list does not answer in time or the item is gone.
std::optional<std::string> itemText(HWND control, const ListMessages& messages, WPARAM index, const Deadline& deadline) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, messages.textLength, index, 0, SMTO_NORMAL, deadline.remainingMs(), &length) ||
        static_cast<LRESULT>(length) < 0)
        return std::nullopt;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, messages.text, index, reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                             deadline.remainingMs(), &copied) ||
        static_cast<LRESULT>(copied) < 0)
        return std::nullopt;
    text.resize(text.find(L'\0'));
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr, nullptr);
    return ansi;
}

std::string escaped(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\r') result += "\\r";
        else if (c == '\n') result += "\\n";
        else if (c == '\t') result += "\\t";
        else result += c;
    }
    return result;
}

BOOL CALLBACK collectControl(HWND control, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(control);
    return TRUE;
}

}  // namespace

Outcome readText(HWND control, const Deadline& deadline) {
    auto text = controlText(control, deadline);
    if (!text) return tooSlow(control);
    return succeeded(*text + "\n");
}

Outcome readState(HWND control, const Deadline& deadline) {
    LRESULT check = BST_UNCHECKED;
    if (hasClass(control, "Button")) {
        auto answer = ask(control, BM_GETCHECK, 0, 0, deadline);
        if (!answer) return tooSlow(control);
        check = *answer;
    }
    bool shown = GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE;
    return succeeded("checked=" + std::to_string(check == BST_CHECKED) +
                     " visible=" + std::to_string(IsWindowVisible(control) != FALSE) +
                     " shown=" + std::to_string(shown) +
                     " enabled=" + std::to_string(IsWindowEnabled(control) != FALSE) + "\n");
}

Outcome readItems(HWND control, const Deadline& deadline) {
    ListMessages messages;
    if (hasClass(control, "ListBox")) messages = kListBox;
    else if (hasClass(control, "ComboBox")) messages = kComboBox;
    else return failed(named(control) + " is neither a list box nor a drop-down list");

    auto count = ask(control, messages.count, 0, 0, deadline);
    if (!count) return tooSlow(control);
    std::string output;
    for (LRESULT index = 0; index < *count; ++index) {
        auto item = itemText(control, messages, static_cast<WPARAM>(index), deadline);
        if (!item) return failed("item " + std::to_string(index) + " of " + named(control) + " could not be read");
        output += *item + "\n";
    }
    auto selected = ask(control, messages.selection, 0, 0, deadline);
    if (!selected) return tooSlow(control);
    return succeeded(output + "selected=" + std::to_string(*selected) + "\n");
}

Outcome readGeometry(HWND window) {
    RECT outer, inner;
    if (!GetWindowRect(window, &outer) || !GetClientRect(window, &inner)) return failed("the window is gone");
    const bool systemMenu = GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU;
    return succeeded("x=" + std::to_string(outer.left) + " y=" + std::to_string(outer.top) +
                     " width=" + std::to_string(inner.right) + " height=" + std::to_string(inner.bottom) +
                     " sysmenu=" + std::to_string(systemMenu) + "\n");
}

Outcome readRect(HWND control, const Deadline& deadline) {
    RECT area;
    if (!GetWindowRect(control, &area)) return failed(named(control) + " is gone");
    MapWindowPoints(nullptr, GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&area), 2);
    // Wine hands no font to another process: 0 there, as for none given.
    LOGFONTA face{};
    auto font = ask(control, WM_GETFONT, 0, 0, deadline);
    const bool described = font && *font != 0 && GetObjectA(reinterpret_cast<HFONT>(*font), sizeof face, &face) != 0;
    // The lists measure their lines by their font.
    LRESULT itemHeight = 0;
    for (const ItemHeightMessage& kind : kItemHeightMessages) {
        if (!hasClass(control, kind.className)) continue;
        auto answer = ask(control, kind.message, 0, 0, deadline);
        if (!answer) return tooSlow(control);
        itemHeight = *answer;
    }
    return succeeded("x=" + std::to_string(area.left) + " y=" + std::to_string(area.top) +
                     " width=" + std::to_string(area.right - area.left) +
                     " height=" + std::to_string(area.bottom - area.top) +
                     " font=" + std::to_string(described ? std::abs(face.lfHeight) : 0) +
                     " items=" + std::to_string(itemHeight) + "\n");
}

Outcome dumpControls(HWND window, const Deadline& deadline) {
    std::vector<HWND> controls;
    EnumChildWindows(window, collectControl, reinterpret_cast<LPARAM>(&controls));
    std::string output;
    for (HWND control : controls) {
        auto text = controlText(control, deadline);
        if (!text) return tooSlow(control);
        output += std::to_string(GetDlgCtrlID(control)) + "\t" + className(control) + "\t" +
                  std::to_string(IsWindowVisible(control) != FALSE) + "\t" +
                  std::to_string(IsWindowEnabled(control) != FALSE) + "\t" + escaped(*text) + "\n";
    }
    return succeeded(output);
}

}  // namespace robot
