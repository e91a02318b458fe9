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
struct LanguageEntry {
    std::string file;
    std::string number;  // empty when the setting names one file directly
};

// The entries as the installer reads them: one per "|", or with at most one
// "|" the file named before any "#" or "|".
std::vector<LanguageEntry> languageEntries(const std::string& setting) {
    const std::size_t count = std::size_t(std::count(setting.begin(), setting.end(), '|'));
    if (count <= 1) return {{field(field(setting, '#', 1), '|', 1), {}}};
    std::vector<LanguageEntry> entries;
    for (std::size_t i = 1; i <= count; ++i) {
        const std::string entry = field(setting, '|', i);
        entries.push_back({field(entry, '#', 1), field(entry, '#', 2)});
    }
    return entries;
}

// Keys of the text groups that no text reads are most likely misspelt.
void checkLanguageFile(const Project& project, const std::string& name, Diagnostics& diagnostics) {
    const TreeItem* item = project.carriedItem(name);
    std::vector<std::uint8_t> bytes;
    if (!item || item->isFolder || !readWholeFile(item->hostPath, bytes)) return;
    const std::string file = utf8Path(item->hostPath);
    const FileEncoding encoding = readEncoding(std::string(bytes.begin(), bytes.end()));
    if (!encoding.problem.empty()) diagnostics.error(file, encoding.problemLine, encoding.problem);
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
    if (std::count(setting.begin(), setting.end(), '|') > 1 && lastBar + 1 < setting.size())
        diagnostics.warning(
            file, line, "Language: \"" + setting.substr(lastBar + 1) + "\" is not read: each entry ends with a bar");
    const std::vector<LanguageEntry> entries = languageEntries(setting);
    for (const LanguageEntry& entry : entries) {
        if (entry.file.empty()) continue;
        if (entries.size() > 1 && !isDecimal(trimBlanks(entry.number)))
            diagnostics.error(file, line,
                              "Language: the entry " + entry.file +
                                  " needs file#language number, "
                                  "such as " +
                                  entry.file + "#9");
        if (!project.carriedItem(entry.file))
            diagnostics.error(file, line,
                              "Language names " + entry.file + ", which the project does not carry (" +
                                  project.pathInRoot(entry.file) + ")");
        else
            checkLanguageFile(project, entry.file, diagnostics);
    }
}

}  // namespace brindle::tool
