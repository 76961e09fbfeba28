#include "platform/win32/forms/win32_resources.h"

#include <ole2.h>
#include <olectl.h>

#include <cwctype>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/platform_error.h"
#include "platform/win32/bound_api.h"
#include "platform/win32/forms/win32_units.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {

namespace {

std::vector<char> ResourceBytes(const std::wstring& name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    const auto* bytes = static_cast<const char*>(data);
    return std::vector<char>(bytes, bytes + SizeofResource(module, found));
}

std::wstring ProgramFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::vector<char> FileBytes(const std::string& relativePath) {
    // Names come from the program's own tables; a path leaving the program
    // folder is not one of them.
    if (relativePath.empty() || relativePath.find("..") != std::string::npos ||
        relativePath.find(':') != std::string::npos || relativePath[0] == '/' ||
        relativePath[0] == '\\') {
        return {};
    }
    std::wstring path = ProgramFolder() + L"\\" + Wide(relativePath);
    for (wchar_t& unit : path) {
        if (unit == L'/') unit = L'\\';
    }
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file) return {};
    return std::vector<char>(std::istreambuf_iterator<char>(file), {});
}

// OLE decodes JPEG and GIF as well as BMP; the decoded bitmap is copied so
// that it outlives the picture object.
GdiObject<HBITMAP> DecodePicture(const std::vector<char>& bytes) {
    if (bytes.empty()) return {};
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return {};
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return {};
    }
    CopyMemory(target, bytes.data(), bytes.size());
    GlobalUnlock(memory);

    // Without the OLE libraries a form goes without its picture, not
    // without its window.
    ComPtr<IStream> stream;
    HRESULT result = E_FAIL;
    try {
        result = bound::CreateStreamOnHGlobal(memory, TRUE, stream.Out());
    } catch (const PlatformError&) {
    }
    if (FAILED(result)) {
        GlobalFree(memory);
        return {};
    }
    ComPtr<IPicture> picture;
    try {
        result = bound::OleLoadPicture(stream.Get(), static_cast<LONG>(bytes.size()), FALSE,
                                       IID_IPicture, picture.OutVoid());
    } catch (const PlatformError&) {
        return {};
    }
    if (FAILED(result) || !picture) return {};

    OLE_HANDLE handle = 0;
    short type = PICTYPE_NONE;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(picture->get_Handle(&handle))) {
        return {};
    }
    return GdiObject<HBITMAP>(
        static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

}  // namespace

std::wstring PictureResourceName(const std::string& picture) {
    std::wstring name;
    for (char c : picture) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 && std::iswalnum(byte)) {
            name += static_cast<wchar_t>(std::towupper(byte));
        } else {
            name += L'_';
        }
    }
    return name;
}

IconHandle LoadFormIcon(const std::string& name, int size) {
    HMODULE module = GetModuleHandleW(nullptr);
    HANDLE icon = nullptr;
    if (!name.empty()) {
        icon = LoadImageW(module, PictureResourceName(name).c_str(), IMAGE_ICON, size, size, 0);
    }
    if (!icon) icon = LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0);
    return IconHandle(static_cast<HICON>(icon));
}

GdiObject<HBITMAP> LoadPictureBitmap(const std::string& picture) {
    GdiObject<HBITMAP> bitmap = DecodePicture(ResourceBytes(PictureResourceName(picture)));
    if (bitmap) return bitmap;
    return DecodePicture(FileBytes(picture));
}

GdiObject<HBITMAP> ScalePictureForDpi(HBITMAP picture, int dpi) {
    BITMAP info{};
    if (!picture || !GetObjectW(picture, sizeof(info), &info)) return {};
    const int width = MulDiv(info.bmWidth, dpi, 96);
    const int height = MulDiv(info.bmHeight, dpi, 96);
    if (width <= 0 || height <= 0) return {};

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject<HBITMAP> scaled(
        CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled) return {};
    const MemoryDc source(CreateCompatibleDC(nullptr));
    const MemoryDc target(CreateCompatibleDC(nullptr));
    if (!source || !target) return {};
    const HGDIOBJ oldSource = SelectObject(source.Get(), picture);
    const HGDIOBJ oldTarget = SelectObject(target.Get(), scaled.Get());
    // Averaged rather than repeated pixels: a photograph, not pixel art.
    SetStretchBltMode(target.Get(), HALFTONE);
    SetBrushOrgEx(target.Get(), 0, 0, nullptr);
    const BOOL drawn = StretchBlt(target.Get(), 0, 0, width, height, source.Get(), 0, 0,
                                  info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(source.Get(), oldSource);
    SelectObject(target.Get(), oldTarget);
    if (!drawn) return {};
    return scaled;
}

}  // namespace platform::win32
