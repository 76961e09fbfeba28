#include "platform/registry/key_path.h"

#include <gtest/gtest.h>

namespace platform::registry {
namespace {

TEST(SplitKeyPath, SplitsAtBackslashesAndKeepsBlanksInNames) {
    EXPECT_EQ(SplitKeyPath(""), std::vector<std::string>{});
    EXPECT_EQ(SplitKeyPath("Software\\Tamsholt\\Kestrow 2005"),
              (std::vector<std::string>{"Software", "Tamsholt", "Kestrow 2005"}));
    EXPECT_EQ(SplitKeyPath(" a "), std::vector<std::string>{" a "});
}

TEST(SplitKeyPath, RefusesEmptyComponentsAndOverlongNames) {
    EXPECT_FALSE(SplitKeyPath("a\\\\b"));
    EXPECT_FALSE(SplitKeyPath("\\a"));
    EXPECT_FALSE(SplitKeyPath("a\\"));
    EXPECT_FALSE(SplitKeyPath("\\"));
    EXPECT_TRUE(SplitKeyPath(std::string(255, 'k')));
    EXPECT_FALSE(SplitKeyPath(std::string(256, 'k')));
    // Characters, not bytes: 255 two-byte characters are still a valid name.
    std::string wide;
    for (int i = 0; i < 255; ++i) wide += "\xC3\xA9";
    EXPECT_TRUE(SplitKeyPath(wide));
}

}  // namespace
}  // namespace platform::registry
