#include "platform/win32/forms/win32_units.h"

namespace platform::win32 {

namespace {

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

int TwipsToPixels(int twips, int dpi) {
    if (dpi <= 0) dpi = 96;
    const long long scaled = static_cast<long long>(twips) * dpi;
    // Half a pixel rounds away from zero, as MulDiv does.
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : (scaled - 720) / 1440);
}

int CharsToUnits(std::wstring_view text, int chars) {
    int units = 0;
    const int size = static_cast<int>(text.size());
    for (int i = 0; i < chars && units < size; ++i) {
        units += (IsHighSurrogate(text[units]) && units + 1 < size) ? 2 : 1;
    }
    return units;
}

int UnitsToChars(std::wstring_view text, int units) {
    int chars = 0;
    const int size = static_cast<int>(text.size());
    for (int i = 0; i < units && i < size; ++i) {
        if (!IsLowSurrogate(text[i])) ++chars;
    }
    return chars;
}

}  // namespace platform::win32
