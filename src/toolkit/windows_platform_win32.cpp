// The functions are newer than the oldest systems the programs run on, so
// each is looked up in kernel32, which every process has loaded.
#include <windows.h>

#include "toolkit/system_libraries.h"
#include "toolkit/windows_platform.h"

namespace brindle {

namespace {
bool nativeFiles = false;

void* kernel() { return GetModuleHandleA("kernel32.dll"); }

constexpr USHORT kUnknownMachine = 0;  // IMAGE_FILE_MACHINE_UNKNOWN: the process is no WoW64 one
constexpr USHORT kMachineX64 = 0x8664;
constexpr USHORT kMachineArm64 = 0xAA64;
}  // namespace

bool windowsIs64Bit() {
    // Tells the machine itself, where the older call only tells whether the
    // process runs under WoW64 (on ARM64 Windows, through its x86 layer).
    using Wow64Process2 = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    if (const auto process2 = libraryFunction<Wow64Process2>(kernel(), "IsWow64Process2")) {
        USHORT processMachine = kUnknownMachine, nativeMachine = kUnknownMachine;
        if (process2(GetCurrentProcess(), &processMachine, &nativeMachine))
            return nativeMachine == kMachineX64 || nativeMachine == kMachineArm64;
    }
    using Wow64Process = BOOL(WINAPI*)(HANDLE, BOOL*);
    BOOL wow64 = FALSE;
    const auto process = libraryFunction<Wow64Process>(kernel(), "IsWow64Process");
    return process != nullptr && process(GetCurrentProcess(), &wow64) && wow64;
}

void useNativeFiles(bool native) { nativeFiles = native; }

NativeFileScope::NativeFileScope() {
    if (!nativeFiles) return;
    using Disable = BOOL(WINAPI*)(PVOID*);
    const auto disable = libraryFunction<Disable>(kernel(), "Wow64DisableWow64FsRedirection");
    disabled_ = disable != nullptr && disable(&previous_);
}

NativeFileScope::~NativeFileScope() {
    if (!disabled_) return;
    using Revert = BOOL(WINAPI*)(PVOID);
    libraryFunction<Revert>(kernel(), "Wow64RevertWow64FsRedirection")(previous_);
}

}  // namespace brindle
