#include "platform/qt/qt_units.h"

#include <gtest/gtest.h>

namespace platform::qt {
namespace {

TEST(TwipsToPixels, FifteenTwipsMakeAPixelAt96Dpi) {
    EXPECT_EQ(TwipsToPixels(8580, 96), 572);
    EXPECT_EQ(TwipsToPixels(225, 96), 15);
    EXPECT_EQ(TwipsToPixels(4242, 96), 283);  // 282.8 rounds up
    EXPECT_EQ(TwipsToPixels(0, 96), 0);
}

TEST(TwipsToPixels, ScalesWithTheLogicalDpi) {
    EXPECT_EQ(TwipsToPixels(1440, 120), 120);
    EXPECT_EQ(TwipsToPixels(1440, 144), 144);
    EXPECT_EQ(TwipsToPixels({240, 405, 2475, 270}, 192), QRect(32, 54, 330, 36));
    // A screen that reports no dpi is taken as the classic one.
    EXPECT_EQ(TwipsToPixels(1440, 0), 96);
}

TEST(CharacterPositions, CountCodePointsNotUtf16Units) {
    const QString text = QString::fromUtf8(
        "a\xF0\x9F\x98\x80"
        "b");  // a, an emoji, b
    EXPECT_EQ(text.size(), 4);
    EXPECT_EQ(CharsToUtf16(text, 2), 3);
    EXPECT_EQ(Utf16ToChars(text, 3), 2);
    EXPECT_EQ(CharsToUtf16(text, 10), 4);
    EXPECT_EQ(Utf16ToChars(text, 4), 3);
}

}  // namespace
}  // namespace platform::qt
