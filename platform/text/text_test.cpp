#include "platform/text/text.h"

#include <gtest/gtest.h>

namespace platform::text {
namespace {

TEST(TextTest, CountsCharactersNotBytes) {
    EXPECT_EQ(text::Length(""), 0u);
    EXPECT_EQ(text::Length("abc"), 3u);
    EXPECT_EQ(text::Length("Проекты"), 7u);
    EXPECT_EQ(text::Length("資料夾"), 3u);
    EXPECT_EQ(text::Length("\xF0\x9F\x93\x81"), 1u);  // one emoji, four bytes
    EXPECT_EQ(text::Length("\xFF\xFE"), 2u);          // stray bytes count one each
}

TEST(TextTest, CutsOnlyBetweenCharacters) {
    EXPECT_EQ(text::Left("Проекты", 3), "Про");
    EXPECT_EQ(text::Right("Проекты", 4), "екты");
    EXPECT_EQ(text::Mid("資料夾abc", 2, 2), "夾a");
    EXPECT_EQ(text::Mid("abc", 5), "");
    EXPECT_EQ(text::Right("ab", 10), "ab");
    EXPECT_EQ(text::LastChar("C:\\"), "\\");
    EXPECT_EQ(text::LastChar("夾"), "夾");
}

TEST(TextTest, TrimsSpacesOnly) {
    EXPECT_EQ(text::TrimSpaces("  My Data  "), "My Data");
    EXPECT_EQ(text::TrimSpaces("\tx "), "\tx");
    EXPECT_EQ(text::TrimSpaces("   "), "");
}

TEST(TextTest, Utf16RoundTripKeepsEveryCharacter) {
    const std::string original = "Z:\\home\\ann\\Проекты 資料 \xF0\x9F\x93\x81";
    const std::u16string wide = text::ToUtf16(original);
    EXPECT_EQ(wide.size(), text::Length(original) + 1);  // the emoji takes a surrogate pair
    EXPECT_EQ(text::FromUtf16(wide), original);
}

// Bytes that are no text must never turn into other characters or into
// UTF-16 that no reader accepts.
TEST(TextTest, OnlyWellFormedUtf8IsValidAndNothingElseBecomesASurrogate) {
    EXPECT_TRUE(text::IsValidUtf8(""));
    EXPECT_TRUE(text::IsValidUtf8("Проекты 資料 \xF0\x9F\x93\x81 \xF4\x8F\xBF\xBF"));
    for (const char* bad :
         {"bad\xFF", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF0\x80\x80\xAF",
          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE2\x82", "\x80"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(bad)));
        EXPECT_FALSE(text::IsValidUtf8(bad));
        const std::u16string wide = text::ToUtf16(bad);
        for (std::size_t i = 0; i < wide.size(); ++i) {
            const bool high = wide[i] >= 0xD800 && wide[i] <= 0xDBFF;
            const bool low = wide[i] >= 0xDC00 && wide[i] <= 0xDFFF;
            EXPECT_FALSE(low) << "unit " << i;
            if (high) {
                ASSERT_LT(i + 1, wide.size());
                EXPECT_TRUE(wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF);
                ++i;
            }
        }
        EXPECT_NE(text::FromUtf16(wide), bad) << "shows as replaced, never as the same";
    }
    EXPECT_EQ(text::ToUtf16("\xED\xA0\x80"), (std::u16string{0xFFFD, 0xFFFD, 0xFFFD}));
}

TEST(TextTest, ComparesRegistryNamesWithoutCase) {
    EXPECT_TRUE(text::EqualsIgnoreCase("Software\\Tamsholt", "SOFTWARE\\tamsholt"));
    EXPECT_FALSE(text::EqualsIgnoreCase("Kestrow", "Kestrow 2005"));
}

}  // namespace
}  // namespace platform::text
