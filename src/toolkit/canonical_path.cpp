#include "toolkit/canonical_path.h"

#include <algorithm>
#include <vector>

#include "toolkit/path_text.h"

namespace brindle {

namespace {
// "C:\" (the letter in upper case) or "\\server\share\".
std::string rootOf(const std::string& path) {
    std::string root = ensureTrailingBackslash(path.substr(0, rootLength(path)));
    if (root[1] == ':') root[0] = char(root[0] & ~0x20);
    return root;
}

std::vector<std::string> partsOf(const std::string& text) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\\', start), text.size());
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool isAllDots(const std::string& part) { return part.find_first_not_of('.') == std::string::npos; }
}  // namespace

std::string canonicalPath(const std::string& path) {
    std::string text = path;
    std::replace(text.begin(), text.end(), '/', '\\');
    if (!isAbsoluteFolder(text)) return path;
    const std::string root = rootOf(text);
    const std::string rest = text.substr(std::min(root.size(), text.size()));
    const bool endsInSeparator = !rest.empty() && rest.back() == '\\';
    std::vector<std::string> parts = partsOf(rest);
    // The platform drops what a name cannot end in, unless the last part is
    // "." or "..", which count as folders.
    if (!endsInSeparator && !parts.empty() && parts.back() != "." && parts.back() != "..") {
        std::string& last = parts.back();
        last.erase(last.find_last_not_of(". ") + 1);
        if (last.empty()) parts.pop_back();
    }
    std::vector<std::string> kept;
    for (std::string& part : parts) {
        if (part == ".") continue;
        if (part == "..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        if (part.size() > 1 && part.back() == '.' && !isAllDots(part) && part[part.size() - 2] != '.') part.pop_back();
        kept.push_back(std::move(part));
    }
    std::string result = root;
    for (std::size_t i = 0; i < kept.size(); ++i) result += (i > 0 ? "\\" : "") + kept[i];
    if (endsInSeparator && !kept.empty()) result += '\\';
    return result;
}

std::string canonicalFolder(const std::string& folder, const LongForm& longForm) {
    const std::string canonical = ensureTrailingBackslash(canonicalPath(folder));
    if (!longForm || !isAbsoluteFolder(canonical)) return canonical;
    // The folder may not exist yet: the long form of its nearest existing
    // folder, with the rest as written.
    const std::size_t root = rootLength(canonical);
    std::string existing = canonical, missing;
    while (existing.size() > root) {
        existing.pop_back();
        const std::string found = longForm(existing);
        if (!found.empty()) return ensureTrailingBackslash(found) + missing;
        const std::size_t last = existing.rfind('\\');
        missing = existing.substr(last + 1) + "\\" + missing;
        existing.erase(last + 1);
    }
    return canonical;
}

bool samePathText(const std::string& a, const std::string& b) {
    const auto unquoted = [](const std::string& text) {
        return text.size() > 1 && text.front() == '"' && text.back() == '"' ? text.substr(1, text.size() - 2) : text;
    };
    return foldCase(canonicalPath(unquoted(a))) == foldCase(canonicalPath(unquoted(b)));
}

}  // namespace brindle
