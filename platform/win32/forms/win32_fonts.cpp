#include "platform/win32/forms/win32_fonts.h"

#include <cstdlib>

#include "platform/win32/win32_handles.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

std::wstring FaceForHeight(const std::wstring& face, int height) {
    HDC screen = GetDC(nullptr);
    if (!screen) return face;
    const GdiObject<HFONT> font(CreateFontW(
        height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str()));
    TEXTMETRICW metrics{};
    bool measured = false;
    if (font) {
        const HGDIOBJ old = SelectObject(screen, font.Get());
        measured = GetTextMetricsW(screen, &metrics) != 0;
        SelectObject(screen, old);
    }
    ReleaseDC(nullptr, screen);
    if (!measured || (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE))) return face;
    const int wanted = height < 0 ? -height : height;
    const int got = height < 0 ? metrics.tmHeight - metrics.tmInternalLeading : metrics.tmHeight;
    // A pixel short is the face's own rounding.
    return got + 1 >= wanted ? face : std::wstring(kScalableSansSerif);
}

}  // namespace platform::win32
