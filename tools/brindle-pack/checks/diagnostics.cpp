#include "checks/diagnostics.h"

#include <algorithm>
#include <cstdio>

namespace brindle::tool {

void Diagnostics::error(const std::string& file, int line, const std::string& message) {
    add(Severity::Error, file, line, 0, message);
}

void Diagnostics::warning(const std::string& file, int line, const std::string& message) {
    add(Severity::Warning, file, line, 0, message);
}

void Diagnostics::add(Severity severity, const std::string& file, int line, int column, const std::string& message) {
    entries_.push_back({file, line, column, severity, message});
}

bool Diagnostics::hasErrors() const {
    return std::any_of(entries_.begin(), entries_.end(), [](const Entry& e) { return e.severity == Severity::Error; });
}

void Diagnostics::print(bool withWarnings) const {
    std::vector<Entry> sorted = entries_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) {
        return a.file != b.file ? a.file < b.file : a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    for (const Entry& entry : sorted) {
        if (entry.severity == Severity::Warning && !withWarnings) continue;
        const char* kind = entry.severity == Severity::Error ? "error" : "warning";
        if (entry.column > 0)
            std::fprintf(stderr, "%s:%d:%d: %s: %s\n", entry.file.c_str(), entry.line, entry.column, kind,
                         entry.message.c_str());
        else if (entry.line > 0)
            std::fprintf(stderr, "%s:%d: %s: %s\n", entry.file.c_str(), entry.line, kind, entry.message.c_str());
        else
            std::fprintf(stderr, "%s: %s: %s\n", entry.file.c_str(), kind, entry.message.c_str());
    }
}

}  // namespace brindle::tool
