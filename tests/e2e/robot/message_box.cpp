#include "message_box.h"

#include <string>

#include "delivery.h"
#include "window_text.h"

namespace robot {

namespace {

// Message boxes give their text this control id.
constexpr int kMessageTextId = 0xFFFF;

struct StaticTexts {
    const Deadline& deadline;
    std::string joined;
    bool answered = true;
};

BOOL CALLBACK collectStaticText(HWND control, LPARAM context) {
    auto& texts = *reinterpret_cast<StaticTexts*>(context);
    if (!hasClass(control, "Static")) return TRUE;
    auto text = controlText(control, texts.deadline);
    if (!text) {
        texts.answered = false;
        return FALSE;
    }
    if (text->empty()) return TRUE;
    if (!texts.joined.empty()) texts.joined += "\n";
    texts.joined += *text;
    return TRUE;
}

}  // namespace

Outcome readMessage(HWND box, const Deadline& deadline) {
    if (HWND message = GetDlgItem(box, kMessageTextId)) {
        auto text = controlText(message, deadline);
        if (!text) return failed("the message box did not answer in time");
        return succeeded(*text + "\n");
    }
    // A dialog built another way: its non-empty static texts, in order.
    StaticTexts texts{deadline, "", true};
    EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(&texts));
    if (!texts.answered) return failed("the message box did not answer in time");
    return succeeded(texts.joined + "\n");
}

Outcome answerMessage(HWND box, int button, const Deadline& deadline) {
    HWND control = GetDlgItem(box, button);
    if (!control) return failed("the message box has no button " + std::to_string(button));
    // What the button sends when pressed; unlike BM_CLICK it works whether or
    // not the box is the active window.
    if (!deliver(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control), deadline))
        return failed("the message box did not take up the answer in time");
    if (!deadline.waitFor([&] { return !IsWindow(box); })) return failed("the message box stayed open");
    return succeeded();
}

}  // namespace robot
