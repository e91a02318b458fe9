#include "install/installation_records.h"

#include <algorithm>

#include "config/preference_file.h"
#include "toolkit/canonical_path.h"
#include "toolkit/number_text.h"
#include "toolkit/path_text.h"
#include "toolkit/registry.h"

namespace brindle {

namespace {
constexpr char kWritten[] = "Written";
constexpr char kRegistryViewKey[] = "RegistryView";
const char* const kIniMade[] = {"value", "group", "file"};

// F001 to F999, then F1000 and on; the other lists count without padding.
std::string keyOf(const char* family, int number) {
    return family + (family[0] == 'F' && family[1] == '\0' ? paddedNumber(std::uint32_t(number), 3)
                                                             : std::to_string(number));
}

// The lists of the group Written, by the name their keys are numbered after.
using RecordList = std::vector<std::string> InstallationRecords::*;
struct WrittenList {
    const char* family;
    RecordList list;
};
constexpr WrittenList kWrittenLists[] = {
    {"File", &InstallationRecords::writtenFiles},      {"Key", &InstallationRecords::createdKeys},
    {"Ini", &InstallationRecords::iniValues},          {"Link", &InstallationRecords::earlierLinks},
    {"StartMenu", &InstallationRecords::earlierStartMenus},
};

// Numbered keys from 1 up to `last`, ending early at the first that is
// missing or empty, so that a huge count in a damaged file reads nothing more.
std::vector<std::string> readList(PreferenceFile& file, const char* family, std::int32_t last = INT32_MAX) {
    std::vector<std::string> values;
    for (std::int32_t number = 1; number <= last; ++number) {
        std::string value = file.readString(keyOf(family, number));
        if (value.empty()) break;
        values.push_back(std::move(value));
    }
    return values;
}

void writeList(PreferenceFile& file, const char* family, const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) file.writeString(keyOf(family, int(i + 1)), values[i]);
    for (int number = int(values.size()) + 1; file.hasKey(keyOf(family, number)); ++number)
        file.removeKey(keyOf(family, number));
}

std::string hex64(std::uint64_t value) {
    return paddedNumber(std::uint32_t(value >> 32), 8, 16) + paddedNumber(std::uint32_t(value), 8, 16);
}

// Exactly 16 hexadecimal digits: a damaged record's number is none.
bool readHex64(const std::string& text, std::uint64_t& value) {
    if (text.size() != 16) return false;
    value = 0;
    for (const char c : text) {
        const char digit = foldCase(c);
        if (!((digit >= '0' && digit <= '9') || (digit >= 'a' && digit <= 'f'))) return false;
        value = value << 4 | std::uint64_t(digit <= '9' ? digit - '0' : digit - 'a' + 10);
    }
    return true;
}

// What makes two lines of a list one record.
using RecordKey = std::string (*)(const std::string& line);
std::string asText(const std::string& line) { return foldCase(line); }
std::string asEntry(const std::string& line) {
    std::string entry = foldCase(line);
    std::replace(entry.begin(), entry.end(), '/', '\\');
    return entry;
}
std::string asPath(const std::string& line) { return foldCase(canonicalPath(line)); }
std::string writtenPath(const std::string& line) { return asPath(line.substr(std::min<std::size_t>(line.size(), 34))); }
std::string iniValue(const std::string& line) { return asText(line.substr(0, line.rfind('|'))); }

// `first`, then what `second` adds to it.
std::vector<std::string> united(const std::vector<std::string>& first, const std::vector<std::string>& second,
                                RecordKey key) {
    std::vector<std::string> lines = first;
    for (const std::string& line : second)
        if (std::none_of(lines.begin(), lines.end(), [&](const std::string& had) { return key(had) == key(line); }))
            lines.push_back(line);
    return lines;
}

// The links an installation made: its start-menu links (names alone
// without a start-menu folder), its desktop link and what it kept of
// earlier ones.
std::vector<std::string> linksOf(const InstallationRecords& records) {
    std::vector<std::string> links;
    if (!records.startMenu.empty()) links = records.startMenuLinks;
    links.push_back(records.desktopIcon);
    links.insert(links.end(), records.earlierLinks.begin(), records.earlierLinks.end());
    std::erase(links, std::string());
    return links;
}

// What `earlier` lists and `current` does not.
std::vector<std::string> dropped(const std::vector<std::string>& earlier, const std::vector<std::string>& current) {
    const std::vector<std::string> both = united(current, earlier, asPath);
    return {both.begin() + std::ptrdiff_t(current.size()), both.end()};
}
}  // namespace

std::string writtenFileRecord(const std::string& path, const FileStamp& stamp) {
    return hex64(stamp.size) + "|" + hex64(stamp.modified) + "|" + path;
}

bool readWrittenFileRecord(const std::string& line, std::string& path, FileStamp& stamp) {
    path = line.size() > 34 && line[16] == '|' && line[33] == '|' ? line.substr(34) : std::string();
    return !path.empty() && readHex64(line.substr(0, 16), stamp.size) && readHex64(line.substr(17, 16), stamp.modified);
}

std::string createdKeyRecord(std::uint32_t root, const std::string& key) { return std::to_string(root) + "|" + key; }

std::string iniValueRecord(const std::string& file, const std::string& group, const std::string& key, IniMade made) {
    return file + "|" + group + "|" + key + "|" + kIniMade[int(made)];
}

IniMade iniMadeOf(const std::string& line) {
    const std::string made = line.substr(line.rfind('|') + 1);
    return made == kIniMade[2] ? IniMade::File : made == kIniMade[1] ? IniMade::Group : IniMade::Value;
}

void readInstallationRecords(PreferenceFile& file, InstallationRecords& records) {
    file.selectGroup("Settings");
    records.startMenu = file.readString("StartMenu");
    records.desktopIcon = file.readString("DesktopIcon");
    file.selectGroup("Files");
    records.files = readList(file, "F");
    file.selectGroup("StartMenu");
    records.startMenuLinks.clear();
    for (const char* key : {"Program", "AddExe", "Help", "Homepage", "Uninstall"})
        records.startMenuLinks.push_back(file.readString(key));
    file.selectGroup("UserTask");
    records.taskRecords = readList(file, "Task", file.readLong("Number", 0));
    file.selectGroup(kWritten);
    for (const WrittenList& written : kWrittenLists) records.*written.list = readList(file, written.family);
    records.madeAbove = file.readString("Above");
    records.registryView = file.readString(kRegistryViewKey) == "64" ? kRegistryView64 : 0;
}

void writeInstallationRecords(PreferenceFile& file, const InstallationRecords& records) {
    file.selectGroup("Files");
    writeList(file, "F", records.files);
    file.selectGroup("UserTask");
    file.writeLong("Number", std::int32_t(records.taskRecords.size()));
    writeList(file, "Task", records.taskRecords);
    file.selectGroup(kWritten);
    for (const WrittenList& written : kWrittenLists) writeList(file, written.family, records.*written.list);
    if (!records.madeAbove.empty()) file.writeString("Above", records.madeAbove);
    else file.removeKey("Above");
    if (records.registryView == kRegistryView64) file.writeString(kRegistryViewKey, "64");
    else file.removeKey(kRegistryViewKey);
    file.removeGroupIfEmpty();
}

InstallationRecords mergeRecords(const InstallationRecords& current, const InstallationRecords& earlier) {
    InstallationRecords merged = current;
    merged.files = united(current.files, earlier.files, asEntry);
    merged.taskRecords = united(current.taskRecords, earlier.taskRecords, asText);
    // A file written again is as written now; one kept keeps its first record.
    merged.writtenFiles = united(current.writtenFiles, earlier.writtenFiles, writtenPath);
    // What the earlier installation created, it created first.
    merged.createdKeys = united(earlier.createdKeys, current.createdKeys, asText);
    merged.iniValues = united(earlier.iniValues, current.iniValues, iniValue);
    // Links and start-menu folders this installation no longer makes.
    merged.earlierLinks = dropped(linksOf(earlier), linksOf(current));
    std::vector<std::string> menus = earlier.earlierStartMenus;
    if (!earlier.startMenu.empty()) menus.insert(menus.begin(), earlier.startMenu);
    merged.earlierStartMenus = dropped(menus, {current.startMenu});
    if (!earlier.madeAbove.empty()) merged.madeAbove = earlier.madeAbove;
    return merged;
}

InstallationRecords insideOnly(const InstallationRecords& records, const std::string& folder) {
    InstallationRecords inside;
    inside.files = records.files;
    for (const std::string& task : records.taskRecords)
        if (liesInside(task, folder)) inside.taskRecords.push_back(task);
    for (const std::string& value : records.iniValues)
        if (liesInside(value.substr(0, value.find('|')), folder)) inside.iniValues.push_back(value);
    return inside;
}

bool liesInside(const std::string& path, const std::string& folder) {
    const std::string canonical = canonicalPath(path);
    return canonical.size() > folder.size() && foldCase(canonical.substr(0, folder.size())) == foldCase(folder);
}

bool listsEntry(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& listed) { return asEntry(listed) == asEntry(name); });
}

}  // namespace brindle
