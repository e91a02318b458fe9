// Every function of a system library beyond kernel32, advapi32 and msvcrt
// is bound on its first call, not at start. Imported the ordinary way, those
// libraries and their own dependencies would be loaded before the program
// runs its first line, from the program's folder first, where anyone may
// have put a library of that name. Bound late, they come after
// restrictLibrarySearch, from the system folder.
//
// The compiler calls an imported function through the pointer
// "__imp__Name@Bytes". This file defines those pointers itself, each set at
// first to a small thunk that binds the function, stores its address in the
// pointer and jumps to it with the caller's arguments untouched, so callers
// need no change and the calling convention does not matter. The build
// checks that the programs import nothing else at start.
#include <windows.h>

#include "toolkit/system_libraries.h"

namespace {
struct LateImport {
    const char* library;
    const char* name;
    void** slot;
};

// The common controls alone are loaded by name: the side-by-side
// redirection to version 6 that the manifest asks for acts on names only,
// and the restricted search no longer reaches the program's folder.
void* loadLibrary(const char* name) {
    if (lstrcmpiA(name, "comctl32.dll") == 0) return LoadLibraryA(name);
    return brindle::loadSystemLibrary(name);
}
}  // namespace

// Called by the thunks; returns the address to jump to. A system function
// that cannot be had ends the program: there is nothing sound to return.
extern "C" void* bindLateImport(const LateImport* import) {
    void* function = brindle::libraryFunction(loadLibrary(import->library), import->name);
    if (function == nullptr) FatalAppExitA(0, import->name);
    *import->slot = function;
    return function;
}

asm(".text\n"
    "lateImportThunk:\n"
    "\tcall _bindLateImport\n"  // the import's record is on the stack
    "\taddl $4, %esp\n"
    "\tjmp *%eax\n");

// library, function, bytes of arguments (the stdcall decoration)
#define BRINDLE_LATE_IMPORTS(X) \
    X(user32, AdjustWindowRectEx, 16) \
    X(user32, CreateWindowExA, 48) \
    X(user32, DefWindowProcA, 16) \
    X(user32, DestroyIcon, 4) \
    X(user32, DestroyWindow, 4) \
    X(user32, DispatchMessageA, 4) \
    X(user32, EnableWindow, 8) \
    X(user32, FillRect, 12) \
    X(user32, GetActiveWindow, 0) \
    X(user32, GetAncestor, 8) \
    X(user32, GetClientRect, 8) \
    X(user32, GetDC, 4) \
    X(user32, GetDlgCtrlID, 4) \
    X(user32, GetFocus, 0) \
    X(user32, GetForegroundWindow, 0) \
    X(user32, GetKeyState, 4) \
    X(user32, GetMessageA, 16) \
    X(user32, GetNextDlgTabItem, 12) \
    X(user32, GetSysColorBrush, 4) \
    X(user32, GetSystemMetrics, 4) \
    X(user32, GetWindow, 8) \
    X(user32, GetWindowLongA, 8) \
    X(user32, GetWindowRect, 8) \
    X(user32, GetWindowTextA, 12) \
    X(user32, GetWindowTextLengthA, 4) \
    X(user32, GetWindowThreadProcessId, 8) \
    X(user32, InvalidateRect, 12) \
    X(user32, LoadCursorA, 8) \
    X(user32, LoadIconA, 8) \
    X(user32, LoadImageA, 24) \
    X(user32, MessageBoxA, 16) \
    X(user32, PeekMessageA, 20) \
    X(user32, PostThreadMessageA, 16) \
    X(user32, RegisterClassExA, 4) \
    X(user32, ReleaseDC, 8) \
    X(user32, SendMessageA, 16) \
    X(user32, SetCursor, 4) \
    X(user32, SetFocus, 4) \
    X(user32, SetForegroundWindow, 4) \
    X(user32, SetWindowLongA, 12) \
    X(user32, SetWindowPos, 28) \
    X(user32, SetWindowTextA, 8) \
    X(user32, ShowWindow, 8) \
    X(user32, TrackMouseEvent, 4) \
    X(user32, TranslateMessage, 4) \
    X(user32, UpdateWindow, 4) \
    X(gdi32, CreateCompatibleDC, 4) \
    X(gdi32, CreateDIBSection, 24) \
    X(gdi32, CreateFontIndirectA, 4) \
    X(gdi32, CreateSolidBrush, 4) \
    X(gdi32, DeleteDC, 4) \
    X(gdi32, DeleteObject, 4) \
    X(gdi32, GetDeviceCaps, 8) \
    X(gdi32, GetObjectA, 12) \
    X(gdi32, GetStockObject, 4) \
    X(gdi32, SelectObject, 8) \
    X(gdi32, SetBkColor, 8) \
    X(gdi32, SetBkMode, 8) \
    X(gdi32, SetBrushOrgEx, 16) \
    X(gdi32, SetStretchBltMode, 8) \
    X(gdi32, SetTextColor, 8) \
    X(gdi32, StretchBlt, 44) \
    X(comctl32, DefSubclassProc, 16) \
    X(comctl32, InitCommonControlsEx, 4) \
    X(comctl32, SetWindowSubclass, 16) \
    X(shell32, SHBrowseForFolderA, 4) \
    X(shell32, SHGetPathFromIDListA, 8) \
    X(shell32, SHGetSpecialFolderLocation, 12) \
    X(shell32, ShellExecuteExA, 4) \
    X(ole32, CoCreateInstance, 20) \
    X(ole32, CoInitialize, 4) \
    X(ole32, CoTaskMemFree, 4) \
    X(ole32, CoUninitialize, 0) \
    X(setupapi, SetupPromptReboot, 12) \
    X(imagehlp, MakeSureDirectoryPathExists, 4)

// Per function: its record, a thunk that pushes the record's address, the
// pointer the callers go through, starting at the thunk, and the function's
// own name jumping through that pointer. Link-time optimised objects name
// the function, not its pointer, when the linker picks what to load; the
// name here keeps the import library's copy out. The compiled code calls
// through the pointer, so the linker drops these jumps again.
#define BRINDLE_LATE_IMPORT(library, name, bytes)                                                   \
    extern "C" const LateImport lateImport_##name;                                                 \
    extern "C" void lateThunk_##name();                                                            \
    asm(".text\n_lateThunk_" #name ":\n\tpushl $_lateImport_" #name "\n\tjmp lateImportThunk\n"); \
    asm(".section .text$" #name ",\"x\"\n.globl _" #name "@" #bytes "\n_" #name "@" #bytes        \
        ":\n\tjmp *__imp__" #name "@" #bytes "\n.text\n");                                          \
    extern "C" void* lateSlot_##name asm("__imp__" #name "@" #bytes);                               \
    void* lateSlot_##name = reinterpret_cast<void*>(&lateThunk_##name);                            \
    extern "C" const LateImport lateImport_##name = {#library ".dll", #name, &lateSlot_##name};

BRINDLE_LATE_IMPORTS(BRINDLE_LATE_IMPORT)
