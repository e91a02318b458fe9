#include "project/project.h"

#include <algorithm>

#include "config/preference_file.h"
#include "host/host_system.h"
#include "host/windows_names.h"
#include "project/reference_tables.h"
#include "toolkit/path_text.h"

namespace brindle::tool {

namespace fs = std::filesystem;

namespace {
const TreeItem* findItem(const std::vector<TreeItem>& items, std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    const std::string wanted = foldWindowsName(name);
    for (const TreeItem& item : items) {
        const std::string& stored = item.packageName;
        const std::string bare = item.isFolder ? stored.substr(0, stored.size() - 1) : stored;
        if (foldWindowsName(bare) == wanted || foldWindowsName(stored) == wanted) return &item;
    }
    return nullptr;
}
}  // namespace

std::string Project::settingsName() const { return utf8Path(settingsPath); }
std::string Project::pathInRoot(const std::string& name) const {
    return utf8Path(root / "") + name;  // as the setting spells it, in the same 8-bit text as the message around it
}
std::string Project::applicationName() const { return utf8Path(application); }

const TreeItem* Project::applicationItem(const std::string& name) const { return findItem(applicationItems, name); }
const TreeItem* Project::carriedItem(const std::string& name) const { return findItem(carriedItems, name); }

const std::string* Project::storedText(const TreeItem& item) const {
    const FileEncoding* text = nullptr;
    if (foldWindowsName(item.packageName) == "setup.ini") text = &encoding;
    if (const auto language = languageEncodings.find(item.packageName); language != languageEncodings.end())
        text = &language->second;
    return text && text->converted ? &text->text : nullptr;
}

std::vector<LanguageEntry> writtenLanguageEntries(const std::string& setting) {
    std::vector<LanguageEntry> entries;
    for (std::size_t start = 0; start < setting.size();) {
        std::size_t bar = setting.find('|', start);
        if (bar == std::string::npos) bar = setting.size();
        const std::string entry = setting.substr(start, bar - start);
        entries.push_back({field(entry, '#', 1), field(entry, '#', 2)});
        start = bar + 1;
    }
    return entries;
}

Project loadProject(const fs::path& root, const fs::path& application, const EntryTimes& times) {
    Project project;
    project.root = root;
    project.application = application;
    project.settingsPath = root / "setup.ini";
    std::vector<std::uint8_t> bytes;
    std::error_code failure;
    if (fs::exists(project.settingsPath, failure)) {
        const FileResult read = readWholeFile(project.settingsPath, bytes);
        project.settingsFound = bool(read);
        if (!read) project.settingsUnread = withCause("cannot be read", read);
    } else if (failure) {
        project.settingsUnread = "cannot be read: " + failure.message();
    }
    if (project.settingsFound) {
        project.encoding = readEncoding(std::string(bytes.begin(), bytes.end()));
        project.lines = IniLines(project.encoding.text);
        // Read as the installer will read the stored text.
        PreferenceFile ini;
        ini.load({}, project.encoding.text);
        for (SettingPass pass : {SettingPass::Startup, SettingPass::Wizard, SettingPass::Install, SettingPass::StartMenu})
            readSettings(ini, project.settings, pass);
        ini.selectGroup(kBuilderGroup);
        project.noDelAll = narrowSetting(kBuilderKeys[0].type, ini.readLong(kBuilderKeys[0].key, 0));
        ini.close();
    }
    if (fs::is_directory(application, failure))
        collectTree(application, {}, times, project.applicationItems, project.treeProblems);
    else
        project.treeProblems.push_back(
            {application, (failure ? failure.message() + ": " : "no such folder: ") +
                              "the application's files go here, or --app names their folder"});
    collectTree(root, application, times, project.carriedItems, project.treeProblems);
    for (const LanguageEntry& entry : writtenLanguageEntries(project.settings.language)) {
        const TreeItem* item = project.carriedItem(entry.file);
        if (item && !item->isFolder && readWholeFile(item->hostPath, bytes))
            project.languageEncodings[item->packageName] = readEncoding(std::string(bytes.begin(), bytes.end()));
    }
    return project;
}

}  // namespace brindle::tool
