#include "checks/settings_check.h"

#include <algorithm>
#include <map>

#include "checks/path_check.h"
#include "checks/project_check.h"
#include "checks/spelling.h"
#include "config/decimal.h"
#include "project/reference_tables.h"
#include "toolkit/path_text.h"

namespace brindle::tool {

namespace {
std::vector<const SettingKey*> allKeys() {
    std::vector<const SettingKey*> keys;
    for (const SettingKey& key : settingKeys()) keys.push_back(&key);
    for (const SettingKey& key : kBuilderKeys) keys.push_back(&key);
    return keys;
}

const SettingKey* findKey(const std::string& group, const std::string& name) {
    for (const SettingKey* key : allKeys())
        if (sameIniName(key->group, group) && (key->numbered ? taskKeyNumber(name) > 0 : sameIniName(key->key, name)))
            return key;
    return nullptr;
}

class SettingsCheck {
public:
    SettingsCheck(const Project& project, Diagnostics& diagnostics)
        : project_(project), lines_(project.lines), file_(project.settingsName()), diagnostics_(diagnostics) {}

    void run() {
        reportEncoding(project_.encoding, file_, diagnostics_);
        if (project_.encoding.unreadable) return;
        checkGroupsAndKeys();
        checkNamedFiles();
        checkStartMenuKeys();
        checkCombinations();
    }

private:
    void checkGroupsAndKeys() {
        std::vector<std::string> groups;
        for (const SettingKey* key : allKeys())
            if (std::find(groups.begin(), groups.end(), key->group) == groups.end()) groups.push_back(key->group);
        std::map<std::string, int> seenGroups;
        std::string group;  // the group whose section the lines belong to; empty when not read
        std::map<std::string, int> seenKeys;
        for (const IniLine& line : lines_.all()) {
            if (line.kind == IniLine::Kind::Group) {
                group.clear();
                seenKeys.clear();
                const auto known = std::find_if(groups.begin(), groups.end(),
                                                [&](const std::string& g) { return sameIniName(g, line.name); });
                const std::string folded = foldCase(line.name);
                if (seenGroups.count(folded)) {
                    warn(line.number, "[" + line.name + "] again: only its first section (line " +
                                          std::to_string(seenGroups[folded]) + ") is read");
                } else if (known == groups.end()) {
                    const std::string spelling = nearestSpelling(line.name, groups);
                    error(line.number, "unknown group [" + line.name + "]" +
                                           (spelling.empty() ? "" : "; did you mean [" + spelling + "]?"));
                } else {
                    group = *known;
                }
                seenGroups.emplace(folded, line.number);
            } else if (line.kind == IniLine::Kind::Key && !group.empty()) {
                const std::string folded = foldCase(line.name);
                if (seenKeys.count(folded))
                    warn(line.number,
                         line.name + " again: only the first (line " + std::to_string(seenKeys[folded]) + ") is read");
                else
                    checkKey(group, line);
                seenKeys.emplace(folded, line.number);
            } else if (line.kind == IniLine::Kind::Key) {
                if (seenGroups.empty()) error(line.number, line.name + " stands before any group and is not read");
            }
        }
    }

    void checkKey(const std::string& group, const IniLine& line) {
        const SettingKey* key = findKey(group, line.name);
        if (!key) return unknownKey(group, line);
        if (key->type == SettingType::Text) return;
        if (line.value.empty()) return;
        if (!isDecimal(line.value)) {
            error(line.number, line.name + " is read as a number; \"" + line.value + "\" reads as " +
                                   std::to_string(parseDecimal(line.value)));
            return;
        }
        const std::int32_t value = parseDecimal(line.value);
        if (narrowSetting(key->type, value) != value || line.value.size() > 11)
            warn(line.number, line.name + " keeps only its low bits: " + line.value + " reads as " +
                                  std::to_string(narrowSetting(key->type, value)));
    }

    void unknownKey(const std::string& group, const IniLine& line) {
        for (const SettingKey* key : allKeys()) {
            if (!key->numbered && sameIniName(key->key, line.name)) {
                error(line.number, line.name + " is not read in [" + group + "]; it belongs in [" + key->group + "]");
                return;
            }
        }
        std::vector<std::string> names;
        for (const SettingKey* key : allKeys())
            if (sameIniName(key->group, group)) names.push_back(key->numbered ? "Task1" : key->key);
        if (sameIniName(group, "UserTask") && sameIniName(line.name.substr(0, 4), "Task")) {
            error(line.number, line.name + " is never read: task keys are Task1, Task2, ... without leading zeros");
            return;
        }
        const std::string spelling = nearestSpelling(line.name, names);
        error(line.number, "unknown key " + line.name + " in [" + group + "]" +
                               (spelling.empty() ? "" : "; did you mean " + spelling + "?"));
    }

    void checkNamedFiles() {
        for (const SettingKey& key : settingKeys()) {
            const KeyReference* reference = keyReference(key.group, key.key);
            if (!reference) continue;  // referenceGaps() names it
            const IniLine* line = lines_.key(key.group, key.key);
            const std::string value = key.text ? project_.settings.*key.text : std::string();
            if (reference->names == Names::CarriedFile) checkCarried(key, line, value);
            if (reference->names == Names::ApplicationFile && !value.empty() && !project_.applicationItem(value) &&
                (key.pass != SettingPass::StartMenu || project_.settings.startMenu != 0))
                error(lines_.lineOf(key.group, key.key), std::string(key.key) + " names " + value +
                                                             ", which the application (" +
                                                             project_.applicationName() + ") lacks");
            if (reference->names == Names::InstallFolder && line)
                checkMacros(value, MacroUse::InstallFolder, {file_, line->number, key.key}, diagnostics_);
        }
        const std::string extension = extensionOf(project_.settings.progExe);
        if (extension != "exe" && foldCase(extension) == "exe")
            warn(lines_.lineOf("Settings", "ProgExe"),
                 "the installer takes only a ProgExe ending in .exe (lower case) for a program: " +
                     project_.settings.progExe + " gets no desktop icon and is not started at the end");
    }

    void checkCarried(const SettingKey& key, const IniLine* line, const std::string& value) {
        if (value.empty() || project_.carriedItem(value)) return;
        if (line)
            error(line->number, std::string(key.key) + " names " + value + ", which the project does not carry (" +
                                    project_.pathInRoot(value) + ")");
        else
            warn(lines_.lineOf(key.group, key.key), std::string("no ") + key.key + " given and no " + value +
                                                        " in the project: the wizard shows no side picture");
    }

    // Without start-menu shortcuts the installer never reads these keys.
    void checkStartMenuKeys() {
        if (project_.settings.startMenu != 0) return;
        for (const SettingKey& key : settingKeys())
            if (key.pass == SettingPass::StartMenu)
                if (const IniLine* line = lines_.key(key.group, key.key))
                    warn(line->number, std::string(key.key) +
                                           " is not read: [Task] StartMenu is 0, so no "
                                           "start-menu shortcuts are made");
    }

    void checkCombinations() {
        const SetupSettings& settings = project_.settings;
        if (settings.reboot != 0 && settings.startProg != 0)
            warn(lines_.lineOf("Task", "StartProg"), "StartProg has no effect: Reboot leaves the program unstarted");
        if (settings.mutexString.empty() && settings.progExe.find_first_of("\\/") != std::string::npos)
            warn(lines_.lineOf("Settings", "ProgExe"),
                 "the running-program check compares file names only, so " + settings.progExe +
                     " never matches a running program; name a mutex in [Task] MutexString");
        if (settings.noUninstall != 0 && settings.unistall != 0 && settings.startMenu != 0)
            warn(lines_.lineOf("StartMenue", "Unistall"),
                 "Uninstall.lnk would point at no program: NoUninstall leaves the uninstaller out");
        if (!project_.withUninstaller()) return;
        if (const IniLine* line = lines_.key("StartMenue", "ProgLink"); line && line->value.empty())
            warn(line->number, "ProgLink is empty: the installer then makes no uninstall entry");
        if (settings.guid.empty())
            warn(lines_.lineOf("Info", "GUID"),
                 "no GUID: the user's choices are not remembered and the uninstall entry is named after ProgLink");
    }

    void error(int line, const std::string& message) { diagnostics_.error(file_, line, message); }
    void warn(int line, const std::string& message) { diagnostics_.warning(file_, line, message); }

    const Project& project_;
    const IniLines& lines_;
    const std::string file_;
    Diagnostics& diagnostics_;
};
}  // namespace

void checkSettings(const Project& project, Diagnostics& diagnostics) {
    if (!project.settingsFound) {
        diagnostics.error(project.settingsName(), 0,
                          project.settingsUnread.empty() ? "missing: a project holds setup.ini at its top"
                                                         : project.settingsUnread);
        return;
    }
    SettingsCheck(project, diagnostics).run();
}

}  // namespace brindle::tool
