#include "shortcut-maker/explorer_arguments.h"

#include <gtest/gtest.h>

namespace shortcut_maker {
namespace {

TEST(ComposeExplorerArgumentsTest, FourSwitchesAndOnlyOneCountsAsOn) {
    EXPECT_EQ(ComposeExplorerArguments(1, 1, "C:\\Data"), "/e,\"C:\\Data\"");
    EXPECT_EQ(ComposeExplorerArguments(1, 0, "C:\\Data"), "/n,\"C:\\Data\"");
    EXPECT_EQ(ComposeExplorerArguments(1, 0, "C:\\Data").size(), 12u);
    EXPECT_EQ(ComposeExplorerArguments(0, 1, "C:\\"), "/e,/root,\"C:\\\"");
    EXPECT_EQ(ComposeExplorerArguments(0, 0, " D:\\x\\ "), "/n,/root,\" D:\\x\\ \"");
    EXPECT_EQ(ComposeExplorerArguments(2, -1, "C:\\Data"), "/n,/root,\"C:\\Data\"")
        << "any flag other than 1 is off";
}

}  // namespace
}  // namespace shortcut_maker
