// Image slots: Targa pictures (decoded by stb_image), icon and bitmap files,
// and the icon built into the program.
#include <cstring>
#include <memory>
#include <string>

#include "toolkit/files.h"
#include "toolkit/path_text.h"
#include "toolkit/ui_state_win32.h"

#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
// Failure texts are never shown, and one thread decodes.
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_THREAD_LOCALS
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace brindle::ui {

namespace {
HBITMAP decodeTarga(const std::string& path) {
    InputFile file;
    if (!file.open(path)) return nullptr;
    const std::int64_t size = file.size();
    if (size <= 0 || size > (64 << 20)) return nullptr;
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[std::size_t(size)]);
    if (!bytes || file.read(bytes.get(), std::size_t(size)) != std::size_t(size)) return nullptr;
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.get(), int(size), &width, &height, &channels, 4);
    if (pixels == nullptr) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top, as decoded
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        auto* out = static_cast<std::uint8_t*>(bits);
        for (std::size_t i = 0, n = std::size_t(width) * std::size_t(height); i < n; ++i) {
            out[4 * i + 0] = pixels[4 * i + 2];
            out[4 * i + 1] = pixels[4 * i + 1];
            out[4 * i + 2] = pixels[4 * i + 0];
            out[4 * i + 3] = pixels[4 * i + 3];
        }
    }
    stbi_image_free(pixels);
    return bitmap;
}

void replaceSlot(int slot, HANDLE handle, bool isIcon) {
    ImageSlot& image = state().images[slot];
    if (image.handle != nullptr) {
        if (image.isIcon) DestroyIcon(static_cast<HICON>(image.handle));
        else DeleteObject(image.handle);
    }
    image = {handle, isIcon};
}
}  // namespace

bool loadImageFile(int slot, const std::string& path) {
    const std::string extension = foldCase(extensionOf(path));
    HANDLE image = nullptr;
    bool isIcon = false;
    if (extension == "ico") {
        image = LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE);
        isIcon = true;
    } else if (extension == "bmp") {
        image = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    } else {
        image = decodeTarga(path);
    }
    if (image == nullptr) return false;
    replaceSlot(slot, image, isIcon);
    return true;
}

bool loadProgramIcon(int slot) {
    HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0);
    if (icon == nullptr) return false;
    replaceSlot(slot, icon, true);
    return true;
}

void showImage(int picture, int slot) {
    const auto control = state().controls.find(picture);
    const auto image = state().images.find(slot);
    if (control == state().controls.end() || image == state().images.end()) return;
    HWND handle = control->second.handle;
    const LONG_PTR style = GetWindowLongPtrA(handle, GWL_STYLE) & ~LONG_PTR(SS_TYPEMASK);
    SetWindowLongPtrA(handle, GWL_STYLE, style | (image->second.isIcon ? SS_ICON : SS_BITMAP));
    SendMessageA(handle, STM_SETIMAGE, image->second.isIcon ? IMAGE_ICON : IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(image->second.handle));
}

}  // namespace brindle::ui
