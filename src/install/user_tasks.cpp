#include "install/user_tasks.h"

#include "config/decimal.h"
#include "config/preference_file.h"
#include "install/link_names.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
enum TaskType : std::int32_t {
    kDesktopProgram = 0, kMenuProgram = 1, kDesktopWeb = 2, kMenuWeb = 3, kStartupProgram = 4,
    kCopyFile = 5, kRegistryString = 6, kIniValue = 8,
};

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
    bool run(const TaskLine& task, std::string& record) {
        const std::string name = task[2];
        switch (parseDecimal(task[1])) {
            case kDesktopProgram: return program(places_.folderPath(kDesktopFolder), task, record);
            case kMenuProgram: return program(places_.startMenuDir, task, record);
            case kStartupProgram: return program(places_.folderPath(kStartupFolder), task, record);
            case kDesktopWeb: return web(places_.folderPath(kDesktopFolder), task, record);
            case kMenuWeb: return web(places_.startMenuDir, task, record);
            case kCopyFile: record = copy(name, task[3], task[4]); return true;
            case kRegistryString: {
                const auto root = std::uint32_t(parseDecimal(name));
                actions_.writeRegistryString(root, task[3], task[4], task[5]);
                record = std::to_string(root) + "|" + task[3] + "|" + task[4];
                return true;
            }
            case kIniValue: iniValue(task); return false;
            default: return false;
        }
    }

private:
    // A folder that is not there (no start-menu folder was made) takes no
    // link: it would land wherever the installer happened to be started.
    bool program(const std::string& folder, const TaskLine& task, std::string& record) {
        if (folder.empty()) return false;
        const std::string& installDir = places_.installDir;
        record = folder + withLinkExtension(task[2]);
        actions_.createShortcut({installDir + task[3], record, installDir + folderPartOf(task[3]), kTargetIcon,
                                 parseDecimal(task[4])});
        return true;
    }

    bool web(const std::string& folder, const TaskLine& task, std::string& record) {
        if (folder.empty()) return false;
        record = folder + withLinkExtension(task[2]);
        actions_.createShortcut({task[3], record, "", kWebIconFile, 0});
        return true;
    }

    // Without a folder the file goes into the installation folder rather
    // than wherever the installer happened to be started.
    std::string copy(const std::string& name, const std::string& source, const std::string& folder) {
        std::string target = places_.installDir + name;
        if (!folder.empty()) {
            target = replaceAll(folder + name, "%InstallDir%", places_.installDir);
            target = expand(replaceAll(target, "%ProgDir%", places_.installDir), true, places_.folderPath);
        }
        actions_.copyFile(places_.workDirectory + source, target);
        return target;
    }

    // The INI file is written between closing and reopening setup.ini, so
    // that a task may even name setup.ini itself.
    void iniValue(const TaskLine& task) {
        std::string value = expand(task[5], false, places_.folderPath);
        value = replaceAll(value, "%StartMenuDir%", places_.startMenuDir);
        value = replaceAll(value, "%InstallDir%", places_.installDir);
        ini_.close();
        PreferenceFile file;
        file.open(places_.installDir + task[2]);
        if (!task[3].empty()) file.selectGroup(task[3]);
        file.writeString(task[4], value);
        file.close();
        ini_.open(places_.settingsPath);
        ini_.selectGroup("UserTask");
    }

    PreferenceFile& ini_;
    const UserTaskPlaces& places_;
    UserTaskActions& actions_;
};
}  // namespace

std::vector<std::string> runUserTasks(PreferenceFile& ini, const UserTaskPlaces& places, UserTaskActions& actions,
                                      const std::string& progressLine) {
    std::vector<std::string> records;
    ini.open(places.settingsPath);
    ini.selectGroup("UserTask");
    // Only the low 16 bits count, as a signed number: 40000 lists no task.
    const auto number = std::int16_t(std::uint16_t(ini.readLong("Number", 0)));
    if (number != 0) actions.addProgressLine(progressLine);
    TaskRunner runner(ini, places, actions);
    for (int i = 1; i <= number; ++i) {
        const std::string line = ini.readString("Task" + std::to_string(i), "");
        if (line.empty()) continue;
        std::string record;
        if (runner.run(TaskLine{line}, record)) records.push_back(record);
    }
    ini.close();
    return records;
}

}  // namespace brindle
