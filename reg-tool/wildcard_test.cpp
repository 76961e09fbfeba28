#include "reg-tool/wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace reg_tool {
namespace {

TEST(Wildcard, StarsAndQuestionMarksMatchAsInTheRegCommandsSearch) {
    EXPECT_TRUE(MatchesWildcard("SYSTEM", "SYSTEM"));
    EXPECT_FALSE(MatchesWildcard("SYSTEMS", "SYSTEM"));
    EXPECT_TRUE(MatchesWildcard("FE340F0F", "*0F*"));
    EXPECT_TRUE(MatchesWildcard("", "*"));
    EXPECT_FALSE(MatchesWildcard("", "?"));
    EXPECT_TRUE(MatchesWildcard("abcabd", "*ab?"));
    EXPECT_FALSE(MatchesWildcard("abcabe", "*abd"));
    EXPECT_TRUE(MatchesWildcard("a*b", "a*b"));
    // ? is one character, not one byte.
    EXPECT_TRUE(MatchesWildcard("caf\xC3\xA9", "caf?"));
    EXPECT_FALSE(MatchesWildcard("caf\xC3\xA9", "caf??"));
    // Many stars over a long text stay quick (no exponential backtracking).
    EXPECT_FALSE(MatchesWildcard(std::string(5000, 'a'), "*a*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace reg_tool
