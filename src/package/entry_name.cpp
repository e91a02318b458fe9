#include "package/entry_name.h"

#include "toolkit/path_text.h"

namespace brindle {

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Windows drops trailing dots and blanks from a path component, so "..." or
// ". " would act as "." or ".."; such components are refused outright.
bool isDotsOrBlanks(const std::string& component) {
    return component.find_first_not_of(". ") == std::string::npos;
}
// Windows numbers serial and printer ports with superscript digits too
// (Windows-1252 0xB9, 0xB2, 0xB3: "COM\xB9").
bool isPortDigit(char c) {
    return (c >= '0' && c <= '9') || c == '\xB9' || c == '\xB2' || c == '\xB3';
}

// Device names stay devices in any folder and with any extension ("nul.txt").
bool isDeviceName(const std::string& component) {
    std::string base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    base = foldCase(base);
    if (base == "con" || base == "prn" || base == "aux" || base == "nul" || base == "conin$" || base == "conout$")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) &&
           isPortDigit(base[3]);
}
}  // namespace

bool isSafeEntryName(const std::string& name) {
    if (name.empty() || name.size() > kLongestEntryName || isSeparator(name[0])) return false;
    if (name.find(':') != std::string::npos) return false;  // drive letters and streams
    std::size_t start = 0;
    for (;;) {
        std::size_t end = start;
        while (end < name.size() && !isSeparator(name[end])) ++end;
        const std::string component = name.substr(start, end - start);
        // An empty component ("a\\b", or a folder's trailing "\") is harmless.
        if (!component.empty() && (isDotsOrBlanks(component) || isDeviceName(component))) return false;
        if (end == name.size()) return true;
        start = end + 1;
    }
}

std::vector<std::string> parseKeepList(const std::string& list) {
    std::vector<std::string> items;
    if (list.empty()) return items;
    std::size_t count = 0;
    for (char c : list) count += c == '|';
    if (count == 0) count = 1;
    std::size_t start = 0;
    while (items.size() < count) {
        std::size_t bar = list.find('|', start);
        if (bar == std::string::npos) bar = list.size();
        items.push_back(list.substr(start, bar - start));
        start = bar + 1;
    }
    return items;
}

}  // namespace brindle
