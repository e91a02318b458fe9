#include "install/user_tasks.h"

#include "config/architecture.h"
#include "config/decimal.h"
#include "config/preference_file.h"
#include "config/setup_settings.h"
#include "install/link_names.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
// Fields of a task line, counted from 1; a missing field is empty.
struct TaskLine {
    const std::string& text;
    std::string operator[](std::size_t number) const { return field(text, '|', number); }
};

class TaskRunner {
public:
    TaskRunner(PreferenceFile& ini, const UserTaskPlaces& places, UserTaskActions& actions)
        : ini_(ini), places_(places), actions_(actions) {}

    // The record of the task, or nothing for tasks that leave none.
    // Field 1 is the type; fields 2 and on are the type's own, named in
    // each handler below.
    bool run(const TaskLine& task, std::string& record) {
        switch (parseDecimal(task[1])) {
            case kDesktopProgram: return program(places_.folderPath(kDesktopFolder), task, record);
            case kMenuProgram: return program(places_.startMenuDir, task, record);
            case kStartupProgram: return program(places_.folderPath(kStartupFolder), task, record);
            case kDesktopWeb: return web(places_.folderPath(kDesktopFolder), task, record);
            case kMenuWeb: return web(places_.startMenuDir, task, record);
            case kCopyFile: return copy(task, record);
            case kRegistryString: record = registryString(task); return true;
            case kIniValue: iniValue(task); return false;
            default: return false;
        }
    }

    bool allDone() const { return allDone_; }
    InstallationRecords& made() { return made_; }

private:
    void note(bool succeeded) { allDone_ = allDone_ && succeeded; }
    // A file that could not be written is named in the progress list, with why.
    void note(FileResult written, const std::string& file) {
        note(bool(written));
        if (!written) actions_.addProgressLine(withCause(file, written));
    }

    // A folder that is not there (no start-menu folder was made) takes no
    // link: it would land wherever the installer happened to be started.
    bool program(const std::string& folder, const TaskLine& task, std::string& record) {
        if (folder.empty()) return false;
        const std::string linkName = task[2], program = task[3];
        const std::int32_t iconIndex = parseDecimal(task[4]);
        const std::string& installDir = places_.installDir;
        record = folder + withLinkExtension(linkName);
        note(actions_.createShortcut(
            {installDir + program, record, installDir + folderPartOf(program), kTargetIcon, iconIndex}));
        return true;
    }

    bool web(const std::string& folder, const TaskLine& task, std::string& record) {
        if (folder.empty()) return false;
        const std::string linkName = task[2], address = task[3];
        record = folder + withLinkExtension(linkName);
        note(actions_.createShortcut({address, record, "", kWebIconFile, 0}));
        return true;
    }

    // Without a folder the file goes into the installation folder rather
    // than wherever the installer happened to be started. Only a file this
    // run wrote is recorded: one the user kept, or a failed copy, is not
    // the installation's to remove. Outside the installation folder its size
    // and time as written tell the uninstaller whether it is still ours.
    bool copy(const TaskLine& task, std::string& record) {
        const std::string name = task[2], source = task[3], folder = task[4];
        std::string target = places_.installDir + name;
        if (!folder.empty()) {
            target = replaceAll(folder + name, "%InstallDir%", places_.installDir);
            target = expand(replaceAll(target, "%ProgDir%", places_.installDir), true, places_.folderPath);
        }
        const CopyOutcome outcome = actions_.copyFile(places_.workDirectory + source, target);
        note(outcome.written, target);
        if (outcome.kept || !outcome.written) return false;
        FileStamp stamp;
        if (!liesInside(target, places_.installDir)) {
            note(actions_.readFileStamp(target, stamp));
            made_.writtenFiles.push_back(writtenFileRecord(target, stamp));
        }
        record = target;
        return true;
    }

    // The record "root|key|value name" tells the uninstaller what to remove;
    // the topmost key the value's path lacked before is the installation's.
    std::string registryString(const TaskLine& task) {
        const std::uint32_t root = taskRegistryRoot(task[2], places_.registryView);
        const std::string key = task[3], valueName = task[4], text = task[5];
        std::string created;
        for (std::string path = key; !path.empty() && !actions_.registryKeyExists(root, path); path = parentKey(path))
            created = path;
        const bool written = actions_.writeRegistryString(root, key, valueName, text);
        note(written);
        if (written && !created.empty()) made_.createdKeys.push_back(createdKeyRecord(root, created));
        return std::to_string(root) + "|" + key + "|" + valueName;
    }

    static std::string parentKey(std::string key) {
        while (!key.empty() && key.back() == '\\') key.pop_back();
        const std::size_t last = key.rfind('\\');
        return last == std::string::npos ? std::string() : key.substr(0, last);
    }

    // The INI file is written between closing and reopening setup.ini, so
    // that a task may even name setup.ini itself. A value that was there
    // already is not the installation's to remove.
    void iniValue(const TaskLine& task) {
        const std::string fileName = task[2], group = task[3], key = task[4];
        std::string value = expand(task[5], false, places_.folderPath);
        value = replaceAll(value, "%StartMenuDir%", places_.startMenuDir);
        value = replaceAll(value, "%InstallDir%", places_.installDir);
        ini_.close();
        PreferenceFile file;
        const std::string path = places_.installDir + fileName;
        const bool fileExisted = file.open(path);
        const bool groupExisted = group.empty() || file.selectGroup(group);
        const IniMade made = !fileExisted ? IniMade::File : !groupExisted ? IniMade::Group : IniMade::Value;
        const bool existed = file.hasKey(key);
        file.writeString(key, value);
        const FileResult written = file.close();
        note(written, path);
        if (written && !existed) made_.iniValues.push_back(iniValueRecord(path, group, key, made));
        ini_.open(places_.settingsPath);
        ini_.selectGroup("UserTask");
    }

    PreferenceFile& ini_;
    const UserTaskPlaces& places_;
    UserTaskActions& actions_;
    InstallationRecords made_;
    bool allDone_ = true;
};
}  // namespace

UserTaskResult runUserTasks(PreferenceFile& ini, const UserTaskPlaces& places, UserTaskActions& actions,
                            const std::string& progressLine) {
    UserTaskResult result;
    ini.open(places.settingsPath);
    ini.selectGroup("UserTask");
    // Only the low 16 bits count, as a signed number: 40000 lists no task.
    const std::int32_t number = narrowSetting(SettingType::Number16, ini.readLong("Number", 0));
    if (number != 0) actions.addProgressLine(progressLine);
    TaskRunner runner(ini, places, actions);
    for (int i = 1; i <= number; ++i) {
        const std::string line = ini.readString("Task" + std::to_string(i), "");
        if (line.empty()) continue;
        std::string record;
        if (runner.run(TaskLine{line}, record)) runner.made().taskRecords.push_back(record);
    }
    ini.close();
    result.made = std::move(runner.made());
    result.allDone = runner.allDone();
    return result;
}

}  // namespace brindle
