// The uninstaller's entry. It reads uninstall.dat beside itself, asks (or,
// with /S, does not), removes what the installation made and hands the
// removal of itself to a copy. Exit codes: 0 everything removed, 1 something
// stayed or the user cancelled, 2 uninstall.dat unusable.
#include <windows.h>

#include "config/path_macros.h"
#include "config/preference_file.h"
#include "config/system_folders.h"
#include "install/link_names.h"
#include "install/running_check.h"
#include "install/running_program.h"
#include "toolkit/files.h"
#include "toolkit/path_text.h"
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
};

std::vector<std::string> removeInstallation(const Uninstall& uninstall) {
    SystemRegistryEdits registry;
    return carryOut(planRemoval(uninstall.record, uninstall.context), registry);
}

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
    const bool allRemoved = removeInstallation(uninstall).empty();
    leaveRemovalToCopy(uninstall.ownImage, uninstall.ownPath);
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
    const std::vector<std::string> stayed = removeInstallation(uninstall);
    showOutcome(record, stayed);
    waitForClose();
    ui::closeWindow(kUninstallWindow);
    leaveRemovalToCopy(uninstall.ownImage, uninstall.ownPath);
    return stayed.empty() ? kAllRemoved : kSomethingStayed;
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
    PreferenceFile file;
    if (ownFolder.empty() || !readUninstallRecord(file, ownFolder + "uninstall.dat", ownFolder, uninstall.record)) {
        if (!arguments.silent) MessageBoxA(nullptr, kUnusableData, " Uninstall", MB_OK | MB_ICONSTOP);
        return kDataUnusable;
    }
    uninstall.context = {filePartOf(uninstall.ownPath), folderPath(kProgramsFolder), sharedFolders(),
                         protectedFolders(), false};
    return arguments.silent ? runSilently(uninstall) : runWithWindow(uninstall);
}
}  // namespace

}  // namespace brindle

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    brindle::restrictLibrarySearch();
    const UINT code = brindle::runUninstaller();
    brindle::ui::stop();
    ExitProcess(code);
}
