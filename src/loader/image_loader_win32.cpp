// The entry of a packed program (package/packed_image.h): restores the
// program's code and data from their block, gives each section the
// protection it was linked with and runs the program. Linked on its own,
// without the C runtime or any import, and appended to the program by
// tools/image-pack; it writes only its zeroed data, which the packer puts
// in a section of their own.
#include <windows.h>

#include <cstddef>
#include <new>

#include "package/packed_image.h"

// Filled in by the packer, which finds the record by its magic. Defined here
// with external linkage, the compiler cannot take its fields for constants.
extern "C" brindle::PackedImageRecord brindlePackedImage;
brindle::PackedImageRecord brindlePackedImage = {
    {brindle::kPackedImageMagic[0], brindle::kPackedImageMagic[1], brindle::kPackedImageMagic[2],
     brindle::kPackedImageMagic[3], brindle::kPackedImageMagic[4], brindle::kPackedImageMagic[5],
     brindle::kPackedImageMagic[6], brindle::kPackedImageMagic[7]},
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, {}};

namespace {

// The decoder's one allocation, its model, comes from here: the loader has
// no heap of its own before the program runs. Zeroed data, which the file
// does not hold.
alignas(16) std::uint8_t modelArena[64 << 10];
bool arenaTaken = false;

DWORD protectionOf(std::uint32_t characteristics) {
    const bool execute = characteristics & IMAGE_SCN_MEM_EXECUTE;
    if (characteristics & IMAGE_SCN_MEM_WRITE) return execute ? PAGE_EXECUTE_READWRITE : PAGE_READWRITE;
    return execute ? PAGE_EXECUTE_READ : PAGE_READONLY;
}

}  // namespace

// The library's tag for allocations that fail without throwing, which the
// decoder's one allocation names.
const std::nothrow_t std::nothrow{};

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (arenaTaken || size > sizeof modelArena) return nullptr;
    arenaTaken = true;
    return modelArena;
}
void operator delete(void*) noexcept { arenaTaken = false; }
void operator delete(void*, std::size_t) noexcept { arenaTaken = false; }

// The decoder's copies within its window (std::copy); the loader links no
// C library.
extern "C" {
void* memmove(void* to, const void* from, std::size_t length) {
    auto* out = static_cast<unsigned char*>(to);
    const auto* in = static_cast<const unsigned char*>(from);
    if (out <= in) {
        for (std::size_t i = 0; i < length; ++i) out[i] = in[i];
    } else {
        while (length-- != 0) out[length] = in[length];
    }
    return to;
}

void brindleImageLoaderStart() {
    const brindle::PackedImageRecord& record = brindlePackedImage;
    auto* const base = reinterpret_cast<std::uint8_t*>(&brindlePackedImage) - record.recordRva;
    using GetModuleHandleFunction = HMODULE(WINAPI*)(LPCSTR);
    using GetProcAddressFunction = FARPROC(WINAPI*)(HMODULE, LPCSTR);
    using ExitProcessFunction = void(WINAPI*)(UINT);
    using VirtualProtectFunction = BOOL(WINAPI*)(LPVOID, SIZE_T, DWORD, PDWORD);
    const auto exitProcess = *reinterpret_cast<ExitProcessFunction*>(base + record.exitProcessSlot);
    const auto getModuleHandle = *reinterpret_cast<GetModuleHandleFunction*>(base + record.getModuleHandleSlot);
    const auto getProcAddress = *reinterpret_cast<GetProcAddressFunction*>(base + record.getProcAddressSlot);
    const auto virtualProtect = reinterpret_cast<VirtualProtectFunction>(
        reinterpret_cast<void*>(getProcAddress(getModuleHandle("kernel32.dll"), "VirtualProtect")));
    // A program whose block does not restore is damaged as a whole: it ends
    // as a damaged installer does, before anything of it ran.
    constexpr UINT kDamaged = 2;
    bool sound = virtualProtect != nullptr && record.sectionCount <= brindle::kPackedImageSections &&
                 brindle::restorePackedImage(base, std::uint32_t(reinterpret_cast<std::uintptr_t>(base)), record);
    DWORD previous = 0;
    for (std::uint32_t i = 0; sound && i < record.sectionCount; ++i) {
        const brindle::PackedImageSection& section = record.sections[i];
        sound = virtualProtect(base + section.rva, section.size, protectionOf(section.characteristics), &previous);
    }
    if (!sound) exitProcess(kDamaged);
    reinterpret_cast<void (*)()>(base + record.entryRva)();  // which ends the process
}
}
