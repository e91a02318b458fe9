#include <windows.h>
#include <shellapi.h>

#include "toolkit/programs.h"

namespace brindle {

namespace {
// Direct start: the installer's own environment goes to the program, so that
// variables set during the run reach it.
HANDLE createProcess(const std::string& file, const std::string& parameters, const std::string& folder) {
    std::string commandLine = !file.empty() && file[0] == '"' ? file : "\"" + file + "\"";
    if (!parameters.empty()) commandLine += " " + parameters;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// Through the shell: documents and programs the direct start refused.
HANDLE openWithShell(const std::string& file, const std::string& parameters, const std::string& folder) {
    std::string directory = folder;
    if (directory.empty()) {
        const std::size_t last = file.rfind('\\');
        if (last != std::string::npos) directory = file.substr(!file.empty() && file[0] == '"' ? 1 : 0, last + 1);
    }
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS;
    execute.lpVerb = "Open";
    execute.lpFile = file.c_str();
    execute.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    execute.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&execute)) return nullptr;
    return execute.hProcess != nullptr ? execute.hProcess : INVALID_HANDLE_VALUE;
}
}  // namespace

bool ProgramHandle::isRunning() const { return isKnown() && exitCode() == STILL_ACTIVE; }

std::uint32_t ProgramHandle::exitCode() const {
    DWORD code = 0;
    if (!isKnown() || !GetExitCodeProcess(static_cast<HANDLE>(process_), &code)) return 0;
    return code;
}

void ProgramHandle::terminate() {
    if (isKnown()) TerminateProcess(static_cast<HANDLE>(process_), 0xFFFFFFFF);
}

void ProgramHandle::release() {
    if (isKnown()) CloseHandle(static_cast<HANDLE>(process_));
    process_ = nullptr;
}

bool startProgram(const std::string& file, const std::string& parameters, const std::string& folder,
                  unsigned options, ProgramHandle* kept) {
    HANDLE process = createProcess(file, parameters, folder);
    if (process == nullptr) process = openWithShell(file, parameters, folder);
    if (process == nullptr) return false;
    // The shell may have handed the file to a program that was already
    // running: then there is nothing to wait for or keep.
    if (process == INVALID_HANDLE_VALUE) return true;
    if (options & kStartWait) WaitForSingleObject(process, INFINITE);
    if ((options & kStartKeep) && kept != nullptr) {
        *kept = ProgramHandle(process);
    } else {
        CloseHandle(process);
    }
    return true;
}

}  // namespace brindle
