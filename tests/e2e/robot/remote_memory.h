// A buffer inside the process that owns a window: common-control messages
// carry pointers that the system does not carry across processes, so their
// structures must live where the control reads them.
#pragma once

#include <windows.h>

#include <cstddef>

namespace robot {

class RemoteMemory {
public:
    RemoteMemory(HWND owner, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool valid() const { return address_ != nullptr; }
    // The buffer's address as the owner sees it, `offset` bytes in.
    char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }

    bool write(size_t offset, const void* data, size_t size);
    bool read(size_t offset, void* data, size_t size) const;

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

}  // namespace robot
