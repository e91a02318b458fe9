#include "commands.h"

#include "control_actions.h"
#include "control_reading.h"
#include "message_box.h"
#include "process_windows.h"
#include "remote_tree.h"
#include "shortcut_reading.h"
#include "window_finder.h"
#include "window_text.h"

namespace robot {

namespace {

Outcome noWindow(const WindowQuery& query) { return failed("no window \"" + query.argument + "\""); }

// Runs `action` on a window once it exists; `requiredClass`, unless null,
// restricts the search to one window class.
template <typename Action>
Outcome onWindow(const std::string& name, const Deadline& deadline, Action action, const char* requiredClass = nullptr) {
    auto query = parseWindowQuery(name);
    if (!query) return misused("bad window number: " + name);
    HWND window = nullptr;
    if (!deadline.waitFor([&] { return (window = findWindow(*query, requiredClass)) != nullptr; }))
        return noWindow(*query);
    return action(window);
}

// Runs `action` on control `id` of a window once both exist.
template <typename Action>
Outcome onControl(const std::string& name, const std::string& id, const Deadline& deadline, Action action) {
    auto query = parseWindowQuery(name);
    if (!query) return misused("bad window number: " + name);
    auto number = parseNumber(id);
    if (!number) return misused("bad control id: " + id);
    // Of several windows with the caption (a message box may share the
    // wizard's), the one that has the control.
    bool windowFound = false;
    HWND control = nullptr;
    deadline.waitFor([&] {
        auto windows = findWindows(*query);
        windowFound = !windows.empty();
        for (HWND window : windows)
            if ((control = findControl(window, static_cast<int>(*number)))) return true;
        return false;
    });
    if (!windowFound) return noWindow(*query);
    if (!control) return failed("window \"" + query->argument + "\" has no control " + id);
    return action(control);
}

Outcome waitCommand(const Operands& operands, const Deadline& deadline) {
    auto query = parseWindowQuery(operands[0]);
    if (!query) return misused("bad window number: " + operands[0]);
    HWND window = nullptr;
    deadline.waitFor([&] {
        window = findWindow(*query);
        return window && IsWindowVisible(window);
    });
    if (!window) return noWindow(*query);
    if (!IsWindowVisible(window)) return failed("window \"" + query->argument + "\" stayed hidden");
    return succeeded(caption(window) + "\n");
}

Outcome goneCommand(const Operands& operands, const Deadline& deadline) {
    auto query = parseWindowQuery(operands[0]);
    if (!query) return misused("bad window number: " + operands[0]);
    if (!deadline.waitFor([&] { return findWindow(*query) == nullptr; }))
        return failed("window \"" + query->argument + "\" is still there");
    return succeeded();
}

Outcome captionCommand(const Operands& operands, const Deadline& deadline) {
    return onWindow(operands[0], deadline, [](HWND window) { return succeeded(caption(window) + "\n"); });
}

Outcome geometryCommand(const Operands& operands, const Deadline& deadline) {
    return onWindow(operands[0], deadline, [](HWND window) { return readGeometry(window); });
}

Outcome closeCommand(const Operands& operands, const Deadline& deadline) {
    return onWindow(operands[0], deadline, [](HWND window) {
        // Posted, not sent: the owner may answer the close request with a dialog.
        if (!PostMessageA(window, WM_CLOSE, 0, 0)) return failed("the close request could not be posted");
        return succeeded();
    });
}

Outcome dumpCommand(const Operands& operands, const Deadline& deadline) {
    return onWindow(operands[0], deadline, [&](HWND window) { return dumpControls(window, deadline); });
}

// A command that does one thing to a control: WINDOW ID.
template <Outcome (*action)(HWND, const Deadline&)>
Outcome controlCommand(const Operands& operands, const Deadline& deadline) {
    return onControl(operands[0], operands[1], deadline, [&](HWND control) { return action(control, deadline); });
}

Outcome setTextCommand(const Operands& operands, const Deadline& deadline) {
    return onControl(operands[0], operands[1], deadline,
                     [&](HWND control) { return setText(control, operands[2], deadline); });
}

Outcome selectCommand(const Operands& operands, const Deadline& deadline) {
    auto index = parseNumber(operands[2]);
    if (!index || *index < 0) return misused("bad item index: " + operands[2]);
    return onControl(operands[0], operands[1], deadline,
                     [&](HWND control) { return select(control, static_cast<int>(*index), deadline); });
}

Outcome treeSelectCommand(const Operands& operands, const Deadline& deadline) {
    return onControl(operands[0], operands[1], deadline,
                     [&](HWND control) { return selectTreeItem(control, operands[2], deadline); });
}

Outcome messageCommand(const Operands& operands, const Deadline& deadline) {
    return onWindow(operands[0], deadline, [&](HWND box) { return readMessage(box, deadline); }, kDialogClass);
}

Outcome answerCommand(const Operands& operands, const Deadline& deadline) {
    static const struct { const char* name; int id; } kButtons[] = {
        {"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
    for (const auto& button : kButtons) {
        if (operands[1] != button.name) continue;
        return onWindow(operands[0], deadline, [&](HWND box) { return answerMessage(box, button.id, deadline); },
                        kDialogClass);
    }
    return misused("bad button (ok, cancel, yes or no): " + operands[1]);
}

Outcome watchCommand(const Operands& operands, const Deadline& deadline) {
    return watchProcessWindows(operands[0], operands[1], deadline);
}

Outcome shortcutCommand(const Operands& operands, const Deadline&) { return readShortcut(operands[0]); }

}  // namespace

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"wait", "WINDOW", waitCommand},
        {"gone", "WINDOW", goneCommand},
        {"caption", "WINDOW", captionCommand},
        {"geometry", "WINDOW", geometryCommand},
        {"click", "WINDOW ID", controlCommand<click>},
        {"settext", "WINDOW ID TEXT", setTextCommand},
        {"leave", "WINDOW ID", controlCommand<leave>},
        {"select", "WINDOW ID INDEX", selectCommand},
        {"text", "WINDOW ID", controlCommand<readText>},
        {"state", "WINDOW ID", controlCommand<readState>},
        {"items", "WINDOW ID", controlCommand<readItems>},
        {"tree", "WINDOW ID", controlCommand<readTree>},
        {"treeselect", "WINDOW ID PATH", treeSelectCommand},
        {"close", "WINDOW", closeCommand},
        {"message", "CAPTION", messageCommand},
        {"answer", "CAPTION BUTTON", answerCommand},
        {"dump", "WINDOW", dumpCommand},
        {"rect", "WINDOW ID", controlCommand<readRect>},
        {"shortcut", "LINKFILE", shortcutCommand},
        {"watch", "PROGRAM ARGUMENTS", watchCommand},
    };
    return all;
}

}  // namespace robot
