// The window the robot's own test drives: one control of every kind the
// installer uses, laid out in panels as the installer does, logging every
// notification it receives so that the test can see what each robot command
// caused.
//   brindle-robot-target.exe LOGFILE
// Log lines: "command ID CODE" for each WM_COMMAND, "answer N" with the
// result of a message box, "selchanged ID TEXT" when the tree's selection
// changes, "close requested" on WM_CLOSE. Texts with accents are written in
// code page 1252.
#include <windows.h>
#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

const char* logPath = nullptr;

enum ControlId {
    kPush = 1, kTick, kLeft, kRight, kName, kLink, kFruits, kColours, kParts, kLocked,
    kSecret, kAsk, kLines, kRich, kBehind, kLatin, kInside, kWarn,
    kPanel = 100, kTreePanel, kHiddenPanel, kDisabledPanel,
};

constexpr char kPanelClass[] = "BrindleRobotPanel";

void logLine(const char* format, ...) {
    FILE* log = std::fopen(logPath, "a");
    if (!log) return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(log, format, arguments);
    va_end(arguments);
    std::fputc('\n', log);
    std::fclose(log);
}

HWND addControl(HWND parent, const char* kind, const char* text, DWORD style, int id, int x, int y, int width,
                int height) {
    return CreateWindowExA(0, kind, text, WS_CHILD | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

HWND addPanel(HWND parent, int id, DWORD style, int x, int y, int width, int height) {
    return addControl(parent, kPanelClass, "", style, id, x, y, width, height);
}

HTREEITEM addTreeItem(HWND tree, HTREEITEM parent, const char* text) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void fillTree(HWND tree) {
    HTREEITEM program = addTreeItem(tree, TVI_ROOT, "Program");
    addTreeItem(tree, program, "Core");
    HTREEITEM extras = addTreeItem(tree, program, "Extras");
    addTreeItem(tree, extras, "Themes");
    addTreeItem(tree, extras, "Kl\xE4nge");
    addTreeItem(tree, TVI_ROOT, "Help");
}

void addControls(HWND panel) {
    constexpr DWORD shown = WS_VISIBLE | WS_TABSTOP;
    addControl(panel, "Button", "Push", shown | BS_PUSHBUTTON, kPush, 10, 10, 80, 24);
    addControl(panel, "Button", "Tick", shown | BS_AUTOCHECKBOX, kTick, 100, 10, 80, 24);
    HWND left = addControl(panel, "Button", "Left", shown | WS_GROUP | BS_AUTORADIOBUTTON, kLeft, 190, 10, 70, 24);
    addControl(panel, "Button", "Right", shown | BS_AUTORADIOBUTTON, kRight, 270, 10, 70, 24);
    SendMessageA(left, BM_SETCHECK, BST_CHECKED, 0);
    addControl(panel, "Edit", "Hello", shown | WS_GROUP | WS_BORDER | ES_AUTOHSCROLL, kName, 10, 44, 170, 24);
    addControl(panel, "Static", "Visit us", WS_VISIBLE | SS_NOTIFY, kLink, 190, 44, 100, 24);

    HWND fruits = addControl(panel, "ListBox", "", shown | WS_BORDER | LBS_NOTIFY, kFruits, 10, 78, 120, 80);
    for (const char* fruit : {"Apple", "Banana", "Cr\xE8me"})
        SendMessageA(fruits, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fruit));
    HWND colours = addControl(panel, "ComboBox", "", shown | CBS_DROPDOWNLIST, kColours, 140, 78, 120, 120);
    for (const char* colour : {"Red", "Green", "Blue"})
        SendMessageA(colours, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(colour));
    SendMessageA(colours, CB_SETCURSEL, 1, 0);

    // The tree sits one panel deeper, as pages do inside the wizard.
    HWND treePanel = addPanel(panel, kTreePanel, WS_VISIBLE, 270, 78, 200, 130);
    HWND tree = addControl(treePanel, WC_TREEVIEWA, "", shown | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS, kParts,
                           0, 0, 200, 130);
    fillTree(tree);

    addControl(panel, "Button", "Locked", shown | WS_DISABLED | BS_PUSHBUTTON, kLocked, 10, 170, 80, 24);
    addControl(panel, "Static", "Secret", 0, kSecret, 100, 170, 80, 24);
    addControl(panel, "Button", "Ask", shown | BS_PUSHBUTTON, kAsk, 190, 170, 70, 24);
    addControl(panel, "Button", "Warn", shown | BS_PUSHBUTTON, kWarn, 270, 170, 70, 24);
    addControl(panel, "Static", "Line one\nLine two", WS_VISIBLE, kLines, 10, 220, 120, 40);
    addControl(panel, "RichEdit20A", "Rich text", shown | WS_BORDER, kRich, 140, 220, 120, 40);
    addControl(panel, "Static", "Gr\xF6\xDF" "e", WS_VISIBLE, kLatin, 270, 220, 80, 24);

    // A control that is shown itself but sits in a hidden panel.
    HWND hiddenPanel = addPanel(panel, kHiddenPanel, 0, 10, 270, 200, 30);
    addControl(hiddenPanel, "Static", "Behind", WS_VISIBLE, kBehind, 0, 0, 100, 24);
    // An enabled button in a disabled panel.
    HWND disabledPanel = addPanel(panel, kDisabledPanel, WS_VISIBLE | WS_DISABLED, 220, 270, 200, 30);
    addControl(disabledPanel, "Button", "Inside", shown | BS_PUSHBUTTON, kInside, 0, 0, 80, 24);
}

std::string treeItemText(HWND tree, HTREEITEM item) {
    char text[256] = "";
    TVITEMA request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = text;
    request.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request));
    return text;
}

// Panels pass their controls' notifications up to the top-level window.
LRESULT CALLBACK panelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == WM_NOTIFY)
        return SendMessageA(GetAncestor(panel, GA_ROOT), message, wParam, lParam);
    return DefWindowProcA(panel, message, wParam, lParam);
}

LRESULT CALLBACK mainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        logLine("command %d %d", LOWORD(wParam), HIWORD(wParam));
        if (HIWORD(wParam) != BN_CLICKED) return 0;
        if (LOWORD(wParam) == kAsk)
            logLine("answer %d", MessageBoxA(window, "Carry on?\nThe robot decides.", "Question", MB_YESNO | MB_ICONQUESTION));
        // A box with the window's own caption, as the installer shows them.
        if (LOWORD(wParam) == kWarn)
            logLine("answer %d", MessageBoxA(window, "Careful.", " Robot Target", MB_OKCANCEL));
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW) {
            auto* change = reinterpret_cast<NMTREEVIEWA*>(lParam);
            logLine("selchanged %d %s", static_cast<int>(header->idFrom),
                    treeItemText(header->hwndFrom, change->itemNew.hItem).c_str());
        }
        return 0;
    }
    case WM_CLOSE:
        logLine("close requested");
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

ATOM registerClass(const char* name, WNDPROC procedure) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 2) return 2;
    logPath = __argv[1];
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    LoadLibraryA("riched20.dll");
    registerClass(kPanelClass, panelProcedure);
    registerClass("BrindleRobotTarget", mainProcedure);

    HWND window = CreateWindowExA(0, "BrindleRobotTarget", " Robot Target", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 500, 360, nullptr, nullptr, GetModuleHandleA(nullptr),
                                  nullptr);
    // The installer's windows carry their window number as the top-level id.
    SetWindowLongPtrA(window, GWLP_ID, 1);
    HWND panel = addPanel(window, kPanel, WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 490, 320);
    addControls(panel);
    ShowWindow(window, SW_SHOW);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
