// Windows side of the host: wide names and the wide command line, converted
// to and from UTF-8 here.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

#include "host/host_system.h"

namespace brindle::tool {

namespace fs = std::filesystem;

namespace {
std::string toUtf8(const wchar_t* text, int length) {
    // Unpaired surrogates become U+FFFD: no flag asks for failure instead.
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring toWide(const std::string& utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), size);
    return out;
}

fs::path ownFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (length == 0) return {};
        if (length < name.size()) return fs::path(name.substr(0, length)).parent_path();
        name.resize(name.size() * 2);
    }
}
}  // namespace

std::vector<std::string> hostArguments(int, char**) {
    // The console is shared with the shell that started the tool: its code page comes back at exit.
    static const UINT shellCodePage = GetConsoleOutputCP();
    if (shellCodePage != 0 && SetConsoleOutputCP(CP_UTF8)) std::atexit([] { SetConsoleOutputCP(shellCodePage); });
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; words && i < count; ++i) args.push_back(toUtf8(words[i], int(wcslen(words[i]))));
    LocalFree(words);
    return args;
}

fs::path hostPath(const std::string& utf8) { return fs::path(toWide(utf8)); }

std::string utf8Path(const fs::path& path) { return toUtf8(path.c_str(), int(path.native().size())); }

std::optional<std::uint64_t> lastWriteTime(const fs::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

// Beside brindle-pack.exe, as the tool ships on Windows.
fs::path shippedFile(const std::string& name) { return ownFolder() / hostPath(name); }

// A console answers GetConsoleMode; the NUL device, which _isatty takes for a terminal, does not.
bool stderrIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}

}  // namespace brindle::tool
