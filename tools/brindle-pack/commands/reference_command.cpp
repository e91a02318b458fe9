#include <algorithm>
#include <cstdio>

#include "commands/command.h"
#include "config/language_texts.h"
#include "config/path_macros.h"
#include "project/reference_tables.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack reference [settings|texts|macros|tasks]\n"
    "\n"
    "Prints, as Markdown tables, what the installer reads: every setup.ini group and\n"
    "key with its type, default and effect; every language text with its default;\n"
    "the path macros; the user task types with an example each. Without an argument\n"
    "all four tables. The checker of `build` works from the same tables.\n";

// A table cell. Bars would end it; backslashes are escaped too, except in
// `code`, text whose backslashes stand in code spans.
std::string cell(const std::string& text, bool code = false) {
    std::string out;
    for (char c : text) {
        if (c == '|' || c == '\n')
            out += "\\|";  // "|" breaks a page title's line; shown as written
        else if (c == '\\' && !code)
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

const char* typeName(SettingType type) {
    switch (type) {
        case SettingType::Text: return "text";
        case SettingType::Number: return "number";
        case SettingType::Number8: return "number, low 8 bits";
        case SettingType::SignedNumber8: return "number, low 8 bits, signed";
        case SettingType::Number16: return "number, low 16 bits, signed";
    }
    return "";
}

const char* whenRead(const SettingKey& key) {
    if (std::string(key.group) == kBuilderGroup) return "by brindle-pack";
    switch (key.pass) {
        case SettingPass::Startup:
        case SettingPass::Wizard: return "at start";
        case SettingPass::Install: return "at install";
        case SettingPass::StartMenu: return "at install, when StartMenu is not 0";
    }
    return "";
}

std::string defaultOf(const SettingKey& key) {
    if (!key.fallback) return "the author line of the progress list";
    if (!*key.fallback) return "empty";
    std::string code = "`";
    return code.append(key.fallback).append("`");
}

void printSettings() {
    std::puts("| group | key | type | default | read | effect |\n|---|---|---|---|---|---|");
    std::vector<const SettingKey*> keys;
    for (const SettingKey& key : settingKeys()) keys.push_back(&key);
    for (const SettingKey& key : kBuilderKeys) keys.push_back(&key);
    for (const char* group : {"Info", "Settings", "Task", "StartMenue", "UserTask", kBuilderGroup}) {
        for (const SettingKey* key : keys) {
            if (std::string(key->group) != group) continue;
            const std::string name = key->numbered ? std::string(key->key) + "1 … " + key->key + "N" : key->key;
            std::printf("| %s | `%s` | %s | %s | %s | %s |\n", group, name.c_str(), typeName(key->type),
                        defaultOf(*key).c_str(), whenRead(*key),
                        cell(keyReference(group, key->key)->effect, true).c_str());
        }
    }
}

void printTexts() {
    std::puts("| group | key | default |\n|---|---|---|");
    const LanguageTexts defaults("*title*", "*version*");
    for (int slot = 1; slot <= kTextCount; ++slot) {
        const TextName name = textName(Text(slot));
        const std::string& text = defaults.get(Text(slot));
        std::printf("| %s | `%s` | %s |\n", name.group, name.key, text.empty() ? "empty" : cell(text).c_str());
    }
}

void printMacros() {
    std::puts("| macro | stands for |\n|---|---|");
    for (const PathMacro& macro : pathMacros())
        std::printf("| `%s` | %s |\n", macro.name, macroReference(macro.code)->folder);
}

void printTasks() {
    std::puts("| type | task | fields after the type | record | example |\n|---|---|---|---|---|");
    for (TaskType type : kTaskTypes) {
        const TaskReference* task = taskReference(type);
        std::string fields;
        for (const TaskField& field : task->fields)
            if (field.name) fields += (fields.empty() ? "" : " | ") + std::string(field.name);
        std::printf("| %d | %s | %s | %s | `%s` |\n", int(type), task->what, cell(fields).c_str(),
                    cell(task->record).c_str(), cell(task->example, true).c_str());
    }
}

int referenceCommand(const CommandOptions& options) {
    const std::vector<std::string> gaps = referenceGaps();
    for (const std::string& gap : gaps) std::fprintf(stderr, "brindle-pack: reference: no entry for %s\n", gap.c_str());
    if (!gaps.empty()) return 1;
    const struct {
        const char* name;
        void (*print)();
    } sections[] = {{"settings", printSettings}, {"texts", printTexts}, {"macros", printMacros}, {"tasks", printTasks}};
    const std::string wanted = options.positional.empty() ? "" : options.positional[0];
    bool printed = false;
    for (const auto& section : sections) {
        if (!wanted.empty() && wanted != section.name) continue;
        if (printed) std::putchar('\n');
        section.print();
        printed = true;
    }
    if (!printed) return fail("reference: takes settings, texts, macros or tasks (try --help)", 2);
    return 0;
}
}  // namespace

const Command kReferenceCommand{
    "reference",
    "  reference [TABLE]               the keys, texts, macros and task types the installer reads\n",
    kHelp,
    {},
    {},
    0,
    1,
    {},
    "takes at most one table name",
    referenceCommand,
};

}  // namespace brindle::tool
