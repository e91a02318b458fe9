// Image slots: Targa pictures (decoded by stb_image), icon and bitmap files,
// and the icon built into the program; and their copies for windows on
// displays of another scale.
#include <cstring>
#include <memory>
#include <string>

#include "toolkit/display_scale.h"
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

void release(Image& image) {
    if (image.handle != nullptr) {
        if (image.isIcon) DestroyIcon(static_cast<HICON>(image.handle));
        else DeleteObject(image.handle);
    }
    image = {};
}

namespace {
constexpr int kIconSize = 32;

HBITMAP newBitmap(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

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

    void* bits = nullptr;
    HBITMAP bitmap = newBitmap(width, height, &bits);
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

// An icon of `size` pixels from a file, or the program's own when `file` is empty.
HANDLE loadIcon(const std::string& file, int size) {
    if (file.empty()) return LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0);
    return LoadImageA(nullptr, file.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE);
}

// A copy of a bitmap at `dpi`, averaged over the source's pixels rather than
// repeating or dropping them.
HBITMAP scaledBitmap(HBITMAP source, int dpi) {
    BITMAP size{};
    if (!GetObjectA(source, sizeof size, &size)) return nullptr;
    const int width = scaled(int(size.bmWidth), dpi), height = scaled(int(size.bmHeight), dpi);
    void* bits = nullptr;
    HBITMAP copy = newBitmap(width, height, &bits);
    if (copy == nullptr) return nullptr;
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    HGDIOBJ fromBefore = SelectObject(from, source), toBefore = SelectObject(to, copy);
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);  // as HALFTONE requires
    StretchBlt(to, 0, 0, width, height, from, 0, 0, int(size.bmWidth), int(size.bmHeight), SRCCOPY);
    SelectObject(from, fromBefore);
    SelectObject(to, toBefore);
    DeleteDC(from);
    DeleteDC(to);
    return copy;
}

// The slot's image made for `dpi`; empty at the layout's own density, where
// the slot's image itself is shown.
Image imageFor(const ImageSlot& slot, int dpi) {
    if (dpi == kLayoutDpi) return {};
    if (slot.image.isIcon) return {loadIcon(slot.iconFile, scaled(kIconSize, dpi)), true};
    return {scaledBitmap(static_cast<HBITMAP>(slot.image.handle), dpi), false};
}

void replaceSlot(int number, HANDLE handle, bool isIcon, const std::string& iconFile) {
    ImageSlot& slot = state().images[number];
    release(slot.image);
    slot = {{handle, isIcon}, iconFile};
}
}  // namespace

bool loadImageFile(int slot, const std::string& path) {
    const std::string extension = foldCase(extensionOf(path));
    HANDLE image = nullptr;
    bool isIcon = false;
    if (extension == "ico") {
        image = loadIcon(path, kIconSize);
        isIcon = true;
    } else if (extension == "bmp") {
        image = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    } else {
        image = decodeTarga(path);
    }
    if (image == nullptr) return false;
    replaceSlot(slot, image, isIcon, isIcon ? path : std::string());
    return true;
}

bool loadProgramIcon(int slot) {
    HANDLE icon = loadIcon({}, kIconSize);
    if (icon == nullptr) return false;
    replaceSlot(slot, icon, true, {});
    return true;
}

void showImage(int picture, int slot) {
    ControlRecord* const record = state().controls.find(picture);
    const ImageSlot* const image = state().images.find(slot);
    if (record == nullptr || image == nullptr) return;
    HWND handle = record->handle;
    Image shown = imageFor(*image, dpiOf(GetAncestor(handle, GA_ROOT)));
    const bool isIcon = image->image.isIcon;
    const LONG_PTR style = GetWindowLongPtrA(handle, GWL_STYLE) & ~LONG_PTR(SS_TYPEMASK);
    SetWindowLongPtrA(handle, GWL_STYLE, style | (isIcon ? SS_ICON : SS_BITMAP));
    SendMessageA(handle, STM_SETIMAGE, isIcon ? IMAGE_ICON : IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(shown.handle != nullptr ? shown.handle : image->image.handle));
    // The picture no longer shows the copy it had.
    release(record->scaledImage);
    record->scaledImage = shown;
    record->imageSlot = slot;
}

}  // namespace brindle::ui
