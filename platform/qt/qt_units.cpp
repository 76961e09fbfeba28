#include "platform/qt/qt_units.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace platform::qt {

int TwipsToPixels(int twips, double logicalDpi) {
    if (logicalDpi <= 0) logicalDpi = 96.0;
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

QRect TwipsToPixels(const forms::TwipsRect& rect, double logicalDpi) {
    return QRect(TwipsToPixels(rect.left, logicalDpi), TwipsToPixels(rect.top, logicalDpi),
                 TwipsToPixels(rect.width, logicalDpi), TwipsToPixels(rect.height, logicalDpi));
}

double LayoutDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

int CharsToUtf16(const QString& text, int chars) {
    int units = 0;
    for (int i = 0; i < chars && units < text.size(); ++i) {
        units += (text.at(units).isHighSurrogate() && units + 1 < text.size()) ? 2 : 1;
    }
    return units;
}

int Utf16ToChars(const QString& text, int units) {
    int chars = 0;
    for (int i = 0; i < units && i < text.size(); ++i) {
        if (!text.at(i).isLowSurrogate()) ++chars;
    }
    return chars;
}

QString ToQString(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToStdString(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace platform::qt
