// The extra work setup.ini lists in its group UserTask: shortcuts, file
// copies, registry strings and INI values. Each task of types 0 to 6 leaves
// a record for the uninstaller, a copy only when it wrote its file; copies
// outside the installation folder, created registry keys and added INI
// values leave what the uninstaller needs to tell them from the user's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/path_macros.h"
#include "install/installation_records.h"
#include "install/shortcut_plan.h"
#include "toolkit/files.h"

namespace brindle {

class PreferenceFile;

// Field 1 of a task line; any other type does nothing.
enum TaskType : std::int32_t {
    kDesktopProgram = 0, kMenuProgram = 1, kDesktopWeb = 2, kMenuWeb = 3, kStartupProgram = 4,
    kCopyFile = 5, kRegistryString = 6, kIniValue = 8,
};
inline constexpr TaskType kTaskTypes[] = {kDesktopProgram, kMenuProgram,  kDesktopWeb,     kMenuWeb,
                                          kStartupProgram, kCopyFile,     kRegistryString, kIniValue};

// How a copy went: kept, as the user kept the file that was there, or
// written, or failed for the cause `written` holds.
struct CopyOutcome {
    bool kept = false;
    FileResult written;
};

// What the tasks do to the system, so that their rules run anywhere.
class UserTaskActions {
public:
    virtual ~UserTaskActions() = default;
    // The operations say whether they succeeded.
    virtual void addProgressLine(const std::string& line) = 0;
    virtual bool createShortcut(const Shortcut& shortcut) = 0;
    // Copies, asking the user first when the target exists.
    virtual CopyOutcome copyFile(const std::string& source, const std::string& target) = 0;
    virtual bool readFileStamp(const std::string& path, FileStamp& stamp) = 0;
    virtual bool registryKeyExists(std::uint32_t root, const std::string& key) = 0;
    virtual bool writeRegistryString(std::uint32_t root, const std::string& key, const std::string& name,
                                     const std::string& text) = 0;
};

struct UserTaskPlaces {
    std::string settingsPath;   // setup.ini in the work directory
    std::string workDirectory;  // ends in "\"
    std::string installDir;     // ends in "\"
    std::string startMenuDir;   // ends in "\"; empty without start-menu shortcuts
    FolderLookup folderPath;
    std::uint32_t registryView = 0;  // of a task whose root names no view
};

struct UserTaskResult {
    InstallationRecords made;  // the task records and what the group Written keeps of them
    bool allDone = true;       // no operation failed
};

// Runs the tasks in order. `progressLine` is added to the progress list when
// the group lists any task count but 0.
UserTaskResult runUserTasks(PreferenceFile& ini, const UserTaskPlaces& places, UserTaskActions& actions,
                            const std::string& progressLine);

}  // namespace brindle
