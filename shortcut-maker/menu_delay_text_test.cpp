#include "shortcut-maker/menu_delay_text.h"

#include <gtest/gtest.h>

namespace shortcut_maker {
namespace {

TEST(MenuDelayTextTest, WholeNumbersWithSpacesSignAndRoundedFractions) {
    EXPECT_EQ(ParseMenuDelay("100"), 100);
    EXPECT_EQ(ParseMenuDelay(" 90 "), 90);
    EXPECT_EQ(ParseMenuDelay("-5"), -5);
    EXPECT_EQ(ParseMenuDelay("+0000000000000100.49"), 100);
    // Half to even, whatever the locale.
    EXPECT_EQ(ParseMenuDelay("100.5"), 100);
    EXPECT_EQ(ParseMenuDelay("101.5"), 102);
    EXPECT_EQ(ParseMenuDelay("99.5"), 100);
    EXPECT_EQ(ParseMenuDelay("100.50001"), 101);
    EXPECT_EQ(ParseMenuDelay("2147483647"), 2147483647);
    EXPECT_EQ(ParseMenuDelay("-2147483648"), -2147483647 - 1);
}

TEST(MenuDelayTextTest, AnythingElseIsNoNumber) {
    for (const char* text : {"", " ", "fast", "1,5", "1.2.3", "+", ".", "1e3", "0x10",
                             "99999999999", "2147483648", "12 3", "\t100"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseMenuDelay(text), std::nullopt);
    }
}

}  // namespace
}  // namespace shortcut_maker
