// What an author needs to know of each setup.ini key, path macro and user
// task type, beside the installer's own tables of them: the checker and the
// `reference` command (whose output docs/authoring.md carries) both read these.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "config/setup_settings.h"
#include "install/user_tasks.h"

namespace brindle::tool {

// What a key's value names, for the checker.
enum class Names { Nothing, CarriedFile, ApplicationFile, LanguageList, InstallFolder };

struct KeyReference {
    const char* group;
    const char* key;
    Names names;
    const char* effect;
};

// The keys brindle-pack reads and the installer does not.
inline constexpr const char* kBuilderGroup = "Builder";
inline constexpr SettingKey kBuilderKeys[] = {
    {kBuilderGroup, "NoDelAll", SettingType::Number8, "0", SettingPass::Startup},
};

// The reference of an installer key (see settingKeys()) or builder key;
// nullptr when there is none.
const KeyReference* keyReference(const std::string& group, const std::string& key);

struct MacroReference {
    int code;
    const char* folder;
    bool everywhere;  // found on every system
};
const MacroReference* macroReference(int code);

enum class FieldKind {
    Name,          // a shortcut or file name
    Program,       // a file of the application
    Number,        // a decimal number, may be empty
    Address,       // a web address
    CarriedFile,   // a file the installer carries
    CopyFolder,    // a folder with path macros, may be empty
    RegistryRoot,  // a root key as a decimal handle value or a short name (see taskRegistryRoot)
    Text,          // any text
    OptionalText,  // any text, may be empty
    IniValue,      // a value with path macros, may be empty
    LiteralText,   // any text, written as it is (no macros), may be empty
};

struct TaskField {
    const char* name = nullptr;  // nullptr: the type reads no such field
    FieldKind kind = FieldKind::Text;
};

struct TaskReference {
    TaskType type;
    const char* what;
    TaskField fields[4];  // fields 2 to 5
    const char* record;   // what the uninstaller is told
    const char* example;
};
const TaskReference* taskReference(std::int32_t type);

// The registry roots a task of type 6 may name, as their handle values.
struct RegistryRoot {
    std::uint32_t handle;
    const char* name;
};
std::span<const RegistryRoot> registryRoots();

// Installer keys, macros and task types without a reference here, and
// references of keys the installer does not read: empty when all agree.
std::vector<std::string> referenceGaps();

}  // namespace brindle::tool
