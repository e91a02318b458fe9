#include "checks/task_check.h"

#include <set>

#include "checks/path_check.h"
#include "checks/project_check.h"
#include "config/architecture.h"
#include "config/decimal.h"
#include "project/reference_tables.h"
#include "toolkit/path_text.h"

namespace brindle::tool {

namespace {
std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(line.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) return fields;
        start = bar + 1;
    }
}

bool mayBeEmpty(FieldKind kind) {
    return kind == FieldKind::Number || kind == FieldKind::CopyFolder || kind == FieldKind::OptionalText ||
           kind == FieldKind::IniValue || kind == FieldKind::LiteralText;
}

// Number fields are read past blanks; every other field keeps them.
bool keepsBlanks(FieldKind kind) { return kind != FieldKind::Number && kind != FieldKind::RegistryRoot; }

std::string knownTypes() {
    std::string list;
    for (TaskType type : kTaskTypes) list += (list.empty() ? "" : ", ") + std::to_string(type);
    return list;
}

class TaskCheck {
public:
    TaskCheck(const Project& project, Diagnostics& diagnostics)
        : project_(project), file_(project.settingsName()), diagnostics_(diagnostics) {}

    void run() {
        const IniLine* numberLine = project_.lines.key("UserTask", "Number");
        const std::int32_t number =
            numberLine ? narrowSetting(SettingType::Number16, parseDecimal(numberLine->value)) : 0;
        if (number < 0)
            error(numberLine->number, "Number " + numberLine->value + " counts as " + std::to_string(number) +
                                          " (only the low 16 bits count, with a sign): no task runs");
        std::set<std::int32_t> present;
        for (const IniLine* line : project_.lines.keys("UserTask")) {
            const std::int32_t index = taskKeyNumber(line->name);
            if (index == 0) continue;  // the settings check names keys the installer never asks for
            present.insert(index);
            if (index > number)
                error(line->number,
                      line->name + " is never run: [UserTask] Number is " + std::to_string(std::max(number, 0)));
            else if (!line->value.empty())
                checkTask(*line);
        }
        for (std::int32_t index = 1; index <= number; ++index)
            if (!present.count(index) || project_.lines.key("UserTask", "Task" + std::to_string(index))->value.empty())
                error(numberLine->number,
                      "Number is " + std::to_string(number) + ", but there is no Task" + std::to_string(index));
    }

private:
    void checkTask(const IniLine& line) {
        const std::vector<std::string> fields = splitFields(line.value);
        const std::string typeField = trimBlanks(fields[0]);
        if (!isDecimal(typeField)) {
            error(line.number,
                  line.name + ": the type \"" + fields[0] + "\" is no number; the installer takes it as type 0");
            return;
        }
        const TaskReference* task = taskReference(parseDecimal(typeField));
        if (!task) {
            error(line.number, line.name + ": unknown task type " + typeField + "; the types are " + knownTypes());
            return;
        }
        int fieldCount = 1;
        while (fieldCount < 5 && task->fields[fieldCount - 1].name) ++fieldCount;
        for (int number = 2; number <= fieldCount; ++number) {
            const TaskField& field = task->fields[number - 2];
            const std::string value = std::size_t(number) <= fields.size() ? fields[std::size_t(number) - 1] : "";
            const std::string what = line.name + " field " + std::to_string(number) + " (" + field.name + ")";
            if (keepsBlanks(field.kind) && !value.empty() && trimBlanks(value) != value)
                warn(line.number, what + " \"" + value +
                                      "\" has blanks at its ends, which the installer keeps; write no blanks "
                                      "around the bars");
            if (value.empty()) {
                if (!mayBeEmpty(field.kind))
                    error(line.number, what + " is missing; type " + typeField + " is: " + task->example);
                continue;
            }
            checkField(field.kind, value, {file_, line.number, what});
        }
        if (int(fields.size()) > fieldCount)
            warn(line.number, line.name + ": type " + typeField + " reads " + std::to_string(fieldCount) +
                                  " fields; the rest (\"" + fields[std::size_t(fieldCount)] + "...\") is ignored");
        if ((task->type == kMenuProgram || task->type == kMenuWeb) && project_.settings.startMenu == 0)
            warn(line.number, line.name + " is skipped: no start-menu folder is made while [Task] StartMenu is 0");
    }

    void checkField(FieldKind kind, const std::string& value, const ValuePlace& place) {
        switch (kind) {
            case FieldKind::Program:
                if (!project_.applicationItem(value))
                    error(place.line, place.what + " names " + value + ", which the application (" +
                                          project_.applicationName() + ") lacks");
                break;
            case FieldKind::CarriedFile:
                if (!project_.carriedItem(value))
                    error(place.line, place.what + " names " + value + ", which the project does not carry (" +
                                          project_.pathInRoot(value) + ")");
                break;
            case FieldKind::Number:
                if (!isDecimal(trimBlanks(value))) error(place.line, place.what + " is no number: \"" + value + "\"");
                break;
            case FieldKind::RegistryRoot: checkRoot(value, place); break;
            case FieldKind::CopyFolder:
                checkMacros(value, MacroUse::CopyFolder, place, diagnostics_);
                checkCopyFolder(value, project_, place, diagnostics_);
                break;
            case FieldKind::IniValue: checkMacros(value, MacroUse::IniValue, place, diagnostics_); break;
            case FieldKind::LiteralText: checkNoMacros(value, place, diagnostics_); break;
            default: break;
        }
    }

    void checkRoot(const std::string& value, const ValuePlace& place) {
        std::uint32_t named = 0;
        if (namedRegistryRoot(value, named)) return;
        const auto handle = std::uint32_t(parseDecimal(value));
        std::string names;
        for (const RegistryRoot& root : registryRoots()) {
            if (isDecimal(trimBlanks(value)) && root.handle == handle) return;
            names += (names.empty() ? "" : ", ") + std::to_string(root.handle) + " " + root.name;
        }
        error(place.line, place.what + " is no registry root: \"" + value + "\"; the roots are " + names +
                              ", or HKCR, HKCU, HKLM, HKU, HKCC, each may end in 32 or 64 for that registry view");
    }

    void error(int line, const std::string& message) { diagnostics_.error(file_, line, message); }
    void warn(int line, const std::string& message) { diagnostics_.warning(file_, line, message); }

    const Project& project_;
    const std::string file_;
    Diagnostics& diagnostics_;
};
}  // namespace

void checkUserTasks(const Project& project, Diagnostics& diagnostics) {
    if (project.settingsReadable()) TaskCheck(project, diagnostics).run();
}

}  // namespace brindle::tool
