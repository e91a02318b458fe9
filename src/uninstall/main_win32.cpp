// The uninstaller's entry. It reads uninstall.dat beside itself, asks (or,
// with /S, does not), removes what the installation made and hands the
// removal of itself to a copy. Exit codes: 0 everything removed (files the
// user changed are kept, and that is success), 1 something stayed, was left
// as uninstall.dat was changed, or the user cancelled, 2 uninstall.dat
// unusable.
#include <windows.h>

#include "config/path_macros.h"
#include "config/preference_file.h"
#include "config/system_folders.h"
#include "install/link_names.h"
#include "install/running_check.h"
#include "install/running_program.h"
#include "install/uninstall_entry.h"
#include "toolkit/canonical_path.h"
#include "toolkit/digest.h"
#include "toolkit/file_paths.h"
#include "toolkit/files.h"
#include "toolkit/path_text.h"
#include "toolkit/program_start.h"
#include "toolkit/registry.h"
#include "toolkit/system_libraries.h"
#include "toolkit/system_paths.h"
#include "toolkit/ui.h"
#include "uninstall/command_line.h"
#include "uninstall/machine_folders.h"
#include "uninstall/removal.h"
#include "uninstall/removal_plan.h"
#include "uninstall/self_removal.h"
#include "uninstall/system_registry_edits.h"
#include "uninstall/uninstall_ids.h"
#include "uninstall/uninstall_record.h"
#include "uninstall/uninstall_window.h"

namespace brindle {

namespace {
enum ExitCode : UINT { kAllRemoved = 0, kSomethingStayed = 1, kDataUnusable = 2 };

constexpr char kUnusableData[] =
    "uninstall.dat beside the uninstaller is missing, damaged or written for another folder.\n"
    "Nothing has been removed.";

struct Uninstall {
    std::string ownPath;
    InputFile ownImage;
    UninstallRecord record;
    RemovalContext context;
    std::string madeAbove;  // the plan's, for the copy that removes the folders
};

RemovalOutcome removeInstallation(Uninstall& uninstall) {
    SystemRegistryEdits registry;
    const RemovalPlan plan = planRemoval(uninstall.record, uninstall.context);
    uninstall.madeAbove = plan.madeAbove;
    return carryOut(plan, registry);
}

// Records that reach outside the installation folder count only while the
// installation's uninstall entry, which only administrators can change,
// holds the hash of the very bytes read.
bool recordsVouchedFor(const UninstallRecord& record, const std::string& content) {
    const std::string entryName = !record.guid.empty() ? record.guid : record.progLink;
    if (entryName.empty() || entryName.find('\\') != std::string::npos) return false;
    const std::string key = uninstallEntryKey(record.guid, record.progLink);
    const std::uint32_t root = kLocalMachine | record.registryView;
    return recordsTrusted(sha256Text(content), readRegistryString(root, key, kUninstallDataHash),
                          readRegistryString(root, key, "UninstallString"), record.progDir);
}

std::string existingLongForm(const std::string& path) { return fileExists(path) ? longPathOf(path) : std::string(); }

// Asks until the program has been closed; false when the user cancels.
bool programClosed(const UninstallRecord& record) {
    const UninstallTexts& texts = record.texts;
    const std::string warning = runningWarningText(texts.runningFirstLine, texts.runningSecondLine, record.progName);
    while (isProgramRunning(record.mutexString, record.progExe))
        if (!confirmRunningProgram(texts.titel, warning)) return false;
    return true;
}

UINT runSilently(Uninstall& uninstall) {
    if (isProgramRunning(uninstall.record.mutexString, uninstall.record.progExe)) return kSomethingStayed;
    const bool allRemoved = removeInstallation(uninstall).allRemoved();
    leaveRemovalToCopy(uninstall.ownImage, uninstall.ownPath, uninstall.madeAbove);
    return allRemoved ? kAllRemoved : kSomethingStayed;
}

UINT runWithWindow(Uninstall& uninstall) {
    const UninstallRecord& record = uninstall.record;
    ui::start();
    if (!openUninstallWindow(record, mayDeleteAll(record, uninstall.context.protectedFolders)) ||
        !waitForConfirmation() || !programClosed(record))
        return kSomethingStayed;
    uninstall.context.deleteAll = deleteAllChosen();
    showWorking();
    const RemovalOutcome outcome = removeInstallation(uninstall);
    showOutcome(record, outcome);
    waitForClose();
    ui::closeWindow(kUninstallWindow);
    leaveRemovalToCopy(uninstall.ownImage, uninstall.ownPath, uninstall.madeAbove);
    return outcome.allRemoved() ? kAllRemoved : kSomethingStayed;
}

UINT runUninstaller() {
    const UninstallArguments arguments = parseArguments(GetCommandLineA());
    if (arguments.removeOriginal) {
        removeOriginal(arguments, protectedFolders());
        return kAllRemoved;
    }
    Uninstall uninstall;
    uninstall.ownPath = longPathOf(ownExecutablePath());
    // Opened first and held to the end without write or delete sharing:
    // nobody can rename or replace it while the uninstaller runs.
    uninstall.ownImage.open(uninstall.ownPath);
    const std::string ownFolder = pathPartOf(uninstall.ownPath);
    const std::string dataPath = ownFolder + "uninstall.dat";
    PreferenceFile file;
    std::string content;
    if (ownFolder.empty() || !readWholeFile(dataPath, content) ||
        !readUninstallRecord(file, dataPath, content, canonicalFolder(ownFolder), uninstall.record, existingLongForm)) {
        if (!arguments.silent) MessageBoxA(nullptr, kUnusableData, " Uninstall", MB_OK | MB_ICONSTOP);
        return kDataUnusable;
    }
    uninstall.context = {filePartOf(uninstall.ownPath), folderPath(kProgramsFolder), folderPath(kDesktopFolder),
                         folderPath(kStartupFolder),        sharedFolders(),             protectedFolders(),
                         false,                             recordsVouchedFor(uninstall.record, content)};
    return arguments.silent ? runSilently(uninstall) : runWithWindow(uninstall);
}
}  // namespace

unsigned programMain() {
    restrictLibrarySearch();
    const UINT code = runUninstaller();
    ui::stop();
    return code;
}

}  // namespace brindle
