// The installer's entry: the one routine that runs from process start to
// exit. The process always exits with code 0.
#include <windows.h>

#include "package/extraction.h"
#include "package/package_reader.h"
#include "run/run_state.h"
#include "run/system_paths.h"
#include "run/work_directory.h"

namespace brindle {

namespace {
void runInstaller() {
    RunState run;
    run.workDirectory = createWorkDirectory(temporaryFolder());
    run.ownExecutable = ownExecutablePath();
    run.settingsPath = run.workDirectory + "setup.ini";
    run.currentPage = 1;
    run.reboot = false;

    // The package behind the own image; without one nothing is extracted
    // and every later step works with its defaults.
    PackageReader package;
    package.readDirectory(run.ownExecutable);
    extractAll(package, run.workDirectory, "");

    removeWorkDirectory(run.workDirectory);
}
}  // namespace

}  // namespace brindle

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    brindle::runInstaller();
    ExitProcess(0);
}
