#include <windows.h>
#include <richedit.h>

#include "toolkit/file_paths.h"
#include "toolkit/path_text.h"
#include "toolkit/ui.h"
#include "wizard/documents.h"

namespace brindle {

namespace {
DWORD CALLBACK readChunk(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
    DWORD read = 0;
    const BOOL ok = ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, DWORD(wanted), &read, nullptr);
    *got = LONG(read);
    return ok ? 0 : 1;
}

}  // namespace

void loadDocument(int editor, const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(file);
    stream.pfnCallback = readChunk;
    SendMessageA(static_cast<HWND>(ui::controlHandle(editor)), EM_STREAMIN, foldCase(extensionOf(path)) == "rtf" ? SF_RTF : SF_TEXT,
                 reinterpret_cast<LPARAM>(&stream));
    CloseHandle(file);
}

void loadFirstDocument(int editor, const std::string& workDirectory, const std::string& name) {
    for (const char* extension : {".rtf", ".txt"}) {
        const std::string path = workDirectory + name + extension;
        if (fileExists(path)) {
            loadDocument(editor, path);
            return;
        }
    }
}

bool editorHasText(int editor) {
    return GetWindowTextLengthA(static_cast<HWND>(ui::controlHandle(editor))) > 0;
}

}  // namespace brindle
