// An in-memory dialog template with no controls: the dialog manager gives a
// window made from it the dialog font, keyboard handling and DefDlgProc; the
// controls are added afterwards in pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::win32 {

struct DialogTemplateLayout {
    std::uint32_t style = 0;  // DS_SETFONT is added
    std::uint32_t exStyle = 0;
    std::wstring caption;
    std::wstring fontName = L"MS Sans Serif";
    std::uint16_t fontPoints = 8;
};

// The template's bytes as 16-bit words, ready for CreateDialogIndirectParamW.
std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplateLayout& layout);

}  // namespace platform::win32
