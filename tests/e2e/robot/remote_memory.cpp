#include "remote_memory.h"

namespace robot {

RemoteMemory::RemoteMemory(HWND owner, size_t size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(owner, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
}

bool RemoteMemory::write(size_t offset, const void* data, size_t size) {
    SIZE_T written = 0;
    return WriteProcessMemory(process_, at(offset), data, size, &written) && written == size;
}

bool RemoteMemory::read(size_t offset, void* data, size_t size) const {
    SIZE_T done = 0;
    return ReadProcessMemory(process_, at(offset), data, size, &done) && done == size;
}

}  // namespace robot
