// Conversions for the forms: twips in the model, pixels on the screen;
// characters in the model, UTF-16 units in an edit control.
#pragma once

#include <string_view>

namespace platform::win32 {

// Pixels for a length in twips at dpi dots per inch, rounded to the nearest
// pixel as MulDiv(twips, dpi, 1440) rounds.
int TwipsToPixels(int twips, int dpi);

// A character position as a UTF-16 unit position and back; a position past
// the end of the text stops at its end.
int CharsToUnits(std::wstring_view text, int chars);
int UnitsToChars(std::wstring_view text, int units);

}  // namespace platform::win32
