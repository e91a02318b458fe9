#include "checks/language_check.h"

#include <algorithm>

#include "checks/project_check.h"
#include "checks/spelling.h"
#include "config/decimal.h"
#include "config/language_texts.h"
#include "host/host_system.h"
#include "toolkit/path_text.h"

namespace brindle::tool {

namespace {
// The installer compares the entries' numbers with the user's primary
// language, the low nine bits of the language identifier.
constexpr std::int32_t kPrimaryLanguageMask = 0x1FF;
// A full language identifier holds the sub-language above these ten bits.
constexpr std::int32_t kLanguageIdMask = 0x3FF;

void checkNumber(const LanguageEntry& entry, const std::string& file, int line, Diagnostics& diagnostics) {
    if (!isDecimal(trimBlanks(entry.number))) {
        diagnostics.error(file, line,
                          "Language: the entry " + entry.file + " needs file#language number, such as " + entry.file +
                              "#9");
        return;
    }
    const std::int32_t number = parseDecimal(entry.number);
    if (number >= 1 && number <= kPrimaryLanguageMask) return;
    const std::int32_t primary = number & kLanguageIdMask;
    const std::string written = entry.file + "#" + entry.number;
    if (number > kLanguageIdMask && primary >= 1 && primary <= kPrimaryLanguageMask)
        diagnostics.error(file, line,
                          "Language: " + written + " is a full language code and never matches: the installer "
                          "compares the primary language, " + entry.file + "#" + std::to_string(primary));
    else
        diagnostics.error(file, line,
                          "Language: " + written + " never matches: a primary language number lies between 1 and " +
                              std::to_string(kPrimaryLanguageMask));
}

// Keys of the text groups that no text reads are most likely misspelt.
void checkLanguageFile(const Project& project, const TreeItem& item, Diagnostics& diagnostics) {
    const auto found = project.languageEncodings.find(item.packageName);
    if (found == project.languageEncodings.end()) return;
    const FileEncoding& encoding = found->second;
    const std::string file = utf8Path(item.hostPath);
    reportEncoding(encoding, file, diagnostics);
    if (encoding.unreadable) return;
    std::vector<std::string> groups;
    for (int slot = 1; slot <= kTextCount; ++slot)
        if (std::find(groups.begin(), groups.end(), textName(Text(slot)).group) == groups.end())
            groups.push_back(textName(Text(slot)).group);
    std::string group;
    const IniLines lines(encoding.text);
    for (const IniLine& line : lines.all()) {
        if (line.kind == IniLine::Kind::Group) {
            const auto known = std::find_if(groups.begin(), groups.end(),
                                            [&](const std::string& g) { return sameIniName(g, line.name); });
            group = known == groups.end() ? "" : *known;
            const std::string spelling = nearestSpelling(line.name, groups);
            if (group.empty() && !spelling.empty())
                diagnostics.warning(file, line.number,
                                    "group [" + line.name + "] holds no texts; did you mean [" + spelling + "]?");
        } else if (line.kind == IniLine::Kind::Key && !group.empty()) {
            std::vector<std::string> keys;
            for (int slot = 1; slot <= kTextCount; ++slot)
                if (sameIniName(textName(Text(slot)).group, group)) keys.push_back(textName(Text(slot)).key);
            if (std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return sameIniName(k, line.name); }))
                continue;
            const std::string spelling = nearestSpelling(line.name, keys);
            diagnostics.warning(file, line.number,
                                group + "/" + line.name + " is no text the installer shows" +
                                    (spelling.empty() ? "" : "; did you mean " + spelling + "?"));
        }
    }
}
}  // namespace

void checkLanguageFiles(const Project& project, Diagnostics& diagnostics) {
    const std::string& setting = project.settings.language;
    if (!project.settingsReadable() || setting.empty()) return;
    const std::string file = project.settingsName();
    const int line = project.lines.lineOf("Settings", "Language");
    const std::size_t lastBar = setting.rfind('|');
    if (lastBar != std::string::npos && lastBar + 1 < setting.size())
        diagnostics.error(file, line,
                          "Language: " + setting.substr(lastBar + 1) +
                              " is never offered: each entry ends with a bar; write Language = " + setting + "|");
    const std::vector<LanguageEntry> entries = writtenLanguageEntries(setting);
    for (const LanguageEntry& entry : entries) {
        if (entry.file.empty()) continue;
        if (entries.size() > 1) checkNumber(entry, file, line, diagnostics);
        if (const TreeItem* item = project.carriedItem(entry.file))
            checkLanguageFile(project, *item, diagnostics);
        else
            diagnostics.error(file, line,
                              "Language names " + entry.file + ", which the project does not carry (" +
                                  project.pathInRoot(entry.file) + ")");
    }
}

}  // namespace brindle::tool
