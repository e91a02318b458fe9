#include "project/project.h"

#include <algorithm>

#include "config/preference_file.h"
#include "host/host_system.h"
#include "host/windows_names.h"
#include "project/reference_tables.h"

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

Project loadProject(const fs::path& root, const fs::path& application, const EntryTimes& times) {
    Project project;
    project.root = root;
    project.application = application;
    project.settingsPath = root / "setup.ini";
    std::vector<std::uint8_t> bytes;
    project.settingsFound = fs::is_regular_file(project.settingsPath) && readWholeFile(project.settingsPath, bytes);
    if (project.settingsFound) {
        project.encoding = readEncoding(std::string(bytes.begin(), bytes.end()));
        project.lines = IniLines(project.encoding.text);
        PreferenceFile ini;
        const std::string path = utf8Path(project.settingsPath);
        readStartupSettings(ini, path, project.settings);
        readWizardSettings(ini, path, project.settings);
        readInstallSettings(ini, path, project.settings);
        readStartMenuSettings(ini, path, project.settings);
        ini.open(path);
        ini.selectGroup(kBuilderGroup);
        project.noDelAll = narrowSetting(kBuilderKeys[0].type, ini.readLong(kBuilderKeys[0].key, 0));
        ini.close();
    }
    if (fs::is_directory(application))
        collectTree(application, {}, times, project.applicationItems, project.treeProblems);
    else
        project.treeProblems.push_back(
            {application, "no such folder: the application's files go here, or --app names their folder"});
    collectTree(root, application, times, project.carriedItems, project.treeProblems);
    return project;
}

}  // namespace brindle::tool
