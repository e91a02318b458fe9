#include <windows.h>

#include "run/run_log.h"

namespace brindle {

namespace {
std::string utf8Of(const std::string& text) {
    if (text.empty()) return {};
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring characters(std::size_t(wide > 0 ? wide : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), characters.data(), wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, characters.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, characters.data(), wide, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}
}  // namespace

bool RunLog::open(const std::string& path) { return open_ = bool(file_.create(path)); }

void RunLog::write(const std::string& line) {
    if (!open_) return;
    const DWORD error = GetLastError();  // a caller may still read it
    const std::string bytes = utf8Of(line) + "\r\n";
    file_.write(bytes.data(), bytes.size());
    SetLastError(error);
}

std::string RunLog::systemText() {
    const DWORD error = GetLastError();
    if (error == ERROR_SUCCESS) return {};
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
    return std::string(text, length) + " (" + std::to_string(error) + ")";
}

}  // namespace brindle
