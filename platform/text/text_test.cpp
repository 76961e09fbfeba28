#include "text/text.h"

#include <gtest/gtest.h>

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

TEST(TextTest, ComparesRegistryNamesWithoutCase) {
    EXPECT_TRUE(text::EqualsIgnoreCase("Software\\Tamsholt", "SOFTWARE\\tamsholt"));
    EXPECT_FALSE(text::EqualsIgnoreCase("Kestrow", "Kestrow 2005"));
}

}  // namespace
