// Units between the forms model and Qt: twips to pixels, and character
// positions (code points, as the model counts) to UTF-16 positions.
#pragma once

#include <QRect>
#include <QString>

#include "platform/forms/controls.h"

namespace platform::qt {

// 1440 twips make a logical inch; at 96 dpi that is 15 twips a pixel.
int TwipsToPixels(int twips, double logicalDpi);
QRect TwipsToPixels(const forms::TwipsRect& rect, double logicalDpi);

// The logical dpi that layout follows: Qt's device-independent pixels
// already carry the device pixel ratio, so this is 96 on most screens.
double LayoutDpi();

// Code point index <-> UTF-16 index within text.
int CharsToUtf16(const QString& text, int chars);
int Utf16ToChars(const QString& text, int units);

QString ToQString(const std::string& utf8);
std::string ToStdString(const QString& text);

}  // namespace platform::qt
