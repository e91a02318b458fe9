#include "checks/project_check.h"

#include <string>
#include <vector>

#include "checks/architecture_check.h"
#include "checks/language_check.h"
#include "checks/settings_check.h"
#include "checks/spelling.h"
#include "checks/task_check.h"
#include "host/host_system.h"
#include "host/windows_names.h"
#include "project/ini_lines.h"

namespace brindle::tool {

namespace {
// Files the installer looks for by name in its work directory.
const std::vector<std::string> kLookedFor = {"licence.rtf",  "licence.txt", "readme.rtf",  "readme.txt", "header.ico",
                                             "BeforeBR.exe", "WhileBR.exe", "StartBR.exe", "AfterBR.exe"};

bool isLookedFor(const std::string& name) {
    for (const std::string& known : kLookedFor)
        if (foldWindowsName(known) == foldWindowsName(name)) return true;
    return false;
}

bool isTopFile(const TreeItem& item) { return !item.isFolder && item.packageName.find('\\') == std::string::npos; }
}  // namespace

bool isDecimal(const std::string& text) {
    const std::size_t digits = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    return text.size() > digits && text.find_first_not_of("0123456789", digits) == std::string::npos;
}

int taskKeyNumber(const std::string& key) {
    if (key.size() < 5 || key.size() > 9 || !sameIniName(key.substr(0, 4), "Task")) return 0;
    const std::string number = key.substr(4);
    if (number[0] == '0' || number.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stoi(number);
}

void reportEncoding(const FileEncoding& encoding, const std::string& file, Diagnostics& diagnostics) {
    for (const FileEncoding::Problem& problem : encoding.problems)
        diagnostics.add(problem.error ? Diagnostics::Severity::Error : Diagnostics::Severity::Warning, file,
                        problem.line, problem.column, problem.message);
}

void checkTrees(const Project& project, Diagnostics& diagnostics) {
    for (const TreeProblem& problem : project.treeProblems)
        diagnostics.error(utf8Path(problem.path), 0, problem.message);
    if (project.withUninstaller())
        for (const char* own : {"Uninstall.exe", "uninstall.dat"})
            if (const TreeItem* item = project.applicationItem(own))
                diagnostics.error(utf8Path(item->hostPath), 0,
                                  "brindle-pack adds the uninstaller's " + std::string(own) +
                                      " to the package itself; remove this one (or set [Task] NoUninstall = 1)");
    if (const TreeItem* item = project.carriedItem("setup.pck"))
        diagnostics.error(utf8Path(item->hostPath), 0,
                          "brindle-pack makes setup.pck from the application; remove this one");
    for (const TreeItem& item : project.carriedItems) {
        if (!isTopFile(item) || isLookedFor(item.packageName)) continue;
        const std::string spelling = nearestSpelling(item.packageName, kLookedFor);
        if (!spelling.empty() && !project.carriedItem(spelling))
            diagnostics.warning(utf8Path(item.hostPath), 0,
                                "the installer looks for " + spelling + " and would not find this file; rename it?");
    }
}

void checkProject(const Project& project, Diagnostics& diagnostics) {
    checkSettings(project, diagnostics);
    checkUserTasks(project, diagnostics);
    if (project.settingsReadable()) checkArchitecture(project, diagnostics);
    checkLanguageFiles(project, diagnostics);
    checkTrees(project, diagnostics);
}

}  // namespace brindle::tool
