#include "shortcut-maker/default_name.h"

#include <gtest/gtest.h>

#include "platform/text/text.h"

namespace shortcut_maker {
namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

TEST(GetLastPathComponentTest, FollowsTheLastSeparatorExactly) {
    EXPECT_EQ(GetLastPathComponent("abc", "\\"), "abc");
    EXPECT_EQ(GetLastPathComponent("", "\\"), "");
    EXPECT_EQ(GetLastPathComponent("a\\b\\", "\\"), "");
    EXPECT_EQ(GetLastPathComponent("C:\\Data\\Projects", "\\"), "Projects");
    EXPECT_EQ(GetLastPathComponent("a\\b", ""), "a\\b");
    EXPECT_EQ(GetLastPathComponent("xAByABz", "AB"), "z");
    EXPECT_EQ(GetLastPathComponent("xaby", "AB"), "xaby") << "case-sensitive";
}

TEST(DefaultNameTest, TakesTheLastComponentWithoutTrailingBackslashes) {
    EXPECT_EQ(DeriveDefaultName("C:\\Data\\Projects"), "Projects");
    EXPECT_EQ(DeriveDefaultName("C:\\Data\\Projects\\\\"), "Projects");
    EXPECT_EQ(DeriveDefaultName("C:\\"), "C");
    EXPECT_EQ(DeriveDefaultName("D:"), "D");
    EXPECT_EQ(DeriveDefaultName("\"C:\\Data\\Projects\""), "Projects\"")
        << "quotes are kept; the closing one ends the name";
    EXPECT_EQ(DeriveDefaultName("/home/ann/Data/"), "Data")
        << "a POSIX path names its folder after the last slash";
}

TEST(DefaultNameTest, CutsLongNamesByCharactersNotBytes) {
    const std::string fifty = Repeat("x", 50);
    EXPECT_EQ(DeriveDefaultName("C:\\" + fifty), fifty);
    const std::string fiftyOne = "A" + Repeat("b", 49) + "Z";
    EXPECT_EQ(DeriveDefaultName("C:\\Data\\" + fiftyOne), "... " + Repeat("b", 45) + "Z");

    for (const std::string& letter : {std::string("Ж"), std::string("写")}) {
        SCOPED_TRACE(letter);
        const std::string cyrillicFifty = Repeat(letter, 50);
        EXPECT_EQ(DeriveDefaultName("C:\\" + cyrillicFifty), cyrillicFifty);
        const std::string name = "Я" + Repeat(letter, 49) + "ё";
        const std::string derived = DeriveDefaultName("C:\\Data\\" + name);
        EXPECT_EQ(derived, "... " + Repeat(letter, 45) + "ё");
        EXPECT_EQ(platform::text::Length(derived), 50u);
    }
}

}  // namespace
}  // namespace shortcut_maker
