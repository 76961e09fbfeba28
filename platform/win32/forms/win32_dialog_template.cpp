#include "platform/win32/forms/win32_dialog_template.h"

#include "platform/win32/windows_api.h"

namespace platform::win32 {

namespace {

void PutDword(std::vector<std::uint16_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint16_t>(value & 0xFFFF));
    out.push_back(static_cast<std::uint16_t>(value >> 16));
}

void PutString(std::vector<std::uint16_t>& out, const std::wstring& text) {
    for (wchar_t unit : text) out.push_back(static_cast<std::uint16_t>(unit));
    out.push_back(0);
}

}  // namespace

std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplateLayout& layout) {
    std::vector<std::uint16_t> words;
    PutDword(words, layout.style | DS_SETFONT);
    PutDword(words, layout.exStyle);
    words.push_back(0);                              // no controls in the template
    for (int i = 0; i < 4; ++i) words.push_back(0);  // x, y, cx, cy: sized later
    words.push_back(0);                              // no menu
    words.push_back(0);                              // the dialog class
    PutString(words, layout.caption);
    words.push_back(layout.fontPoints);
    PutString(words, layout.fontName);
    return words;
}

}  // namespace platform::win32
