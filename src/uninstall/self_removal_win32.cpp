#include <windows.h>

#include <vector>

#include "install/link_names.h"
#include "toolkit/file_paths.h"
#include "toolkit/files.h"
#include "toolkit/path_text.h"
#include "toolkit/private_folder.h"
#include "toolkit/system_paths.h"
#include "uninstall/command_line.h"
#include "uninstall/protected_folders.h"
#include "uninstall/self_removal.h"

namespace brindle {

namespace {
constexpr char kDataName[] = "uninstall.dat";
// How long the copy waits for the original to end, and then for the
// platform to let go of its file.
constexpr DWORD kOriginalEndWait = 60000;
constexpr int kDeleteAttempts = 50;
constexpr DWORD kDeletePause = 100;

void removeAtRestart(const std::string& path) { MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

bool removePersistently(const std::string& path) {
    for (int attempt = 0; attempt < kDeleteAttempts; ++attempt) {
        if (!pathExists(path) || removeFile(path)) return true;
        Sleep(kDeletePause);
    }
    return false;
}

// The installation folder goes when it is empty, and so do the folders above
// it that the installer made for it ("C:\Apps" of "C:\Apps\Tool"), never a
// protected one.
bool removeEmptyFolder(const std::string& folder, const ProtectedFolders& protectedFolders) {
    const std::string path = folder.substr(0, folder.size() - 1);
    std::vector<FolderItem> items;
    return !isProtectedFolder(folder, protectedFolders) && !isLink(path) && listFolder(folder, items) &&
           items.empty() && removeFolder(path);
}

// The copy is made from the file opened at the start, never from the name,
// which could meanwhile lead to another program that would then run elevated.
bool copyImage(InputFile& ownImage, const std::string& copy) {
    const std::int64_t size = ownImage.size();
    if (size < 0 || !ownImage.seek(0)) return false;
    std::vector<char> bytes(static_cast<std::size_t>(size));
    OutputFile file;
    return ownImage.read(bytes.data(), bytes.size()) == bytes.size() && file.createNew(copy) &&
           file.write(bytes.data(), bytes.size());
}

bool startCopy(const std::string& copy, const std::string& folder, const std::string& ownPath,
               const std::string& madeAbove) {
    // The copy waits on this handle, which it inherits: unlike a process
    // number, it cannot come to name another process.
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
        return false;
    std::string command = "\"" + copy + "\" /Remove " + std::to_string(reinterpret_cast<std::uintptr_t>(self)) +
                          " \"" + ownPath + "\"";
    if (!madeAbove.empty()) command += " \"" + madeAbove + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(copy.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.c_str(), &startup, &process) != FALSE;
    CloseHandle(self);
    if (started) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return started;
}
}  // namespace

void leaveRemovalToCopy(InputFile& ownImage, const std::string& ownPath, const std::string& madeAbove) {
    ScopedPrivateFolder folder(temporaryFolder());
    const std::string copy = folder.path() + filePartOf(ownPath);
    if (!folder.path().empty() && copyImage(ownImage, copy) && startCopy(copy, folder.path(), ownPath, madeAbove)) {
        folder.keep();  // the copy's folder now, which goes at the next restart
        return;
    }
    removeFile(pathPartOf(ownPath) + kDataName);
    removeAtRestart(ownPath);
}

// Only a file of the copy's own name goes, and only after a process handle
// that the original passed on has ended: the command line alone cannot make
// the copy delete anything else.
void removeOriginal(const UninstallArguments& arguments, const ProtectedFolders& protectedFolders) {
    const std::string ownPath = ownExecutablePath();
    const std::string& original = arguments.originalPath;
    const HANDLE process = reinterpret_cast<HANDLE>(arguments.originalProcess);
    const bool ended = WaitForSingleObject(process, kOriginalEndWait) == WAIT_OBJECT_0;
    CloseHandle(process);
    if (ended && foldCase(filePartOf(original)) == foldCase(filePartOf(ownPath)) && isSoundAbsolutePath(original)) {
        removePersistently(pathPartOf(original) + kDataName);
        removePersistently(original);
        std::string folder = pathPartOf(original);
        while (removeEmptyFolder(folder, protectedFolders) && !arguments.madeAbove.empty() &&
               liesBelow(folder, arguments.madeAbove))
            folder = pathPartOf(folder.substr(0, folder.size() - 1));
    }
    removeAtRestart(ownPath);
    removeAtRestart(pathPartOf(ownPath).substr(0, pathPartOf(ownPath).size() - 1));
}

}  // namespace brindle
