#include "platform/posix/path_mapping.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform_error.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

TEST(PathMappingTest, DriveZIsThePosixRootBothWays) {
    EXPECT_EQ(PosixPathOf("Z:\\home\\ann\\Data"), "/home/ann/Data");
    EXPECT_EQ(PosixPathOf("z:\\home\\ann\\Data\\"), "/home/ann/Data");
    EXPECT_EQ(PosixPathOf("Z:\\"), "/");
    EXPECT_EQ(PosixPathOf("Z:/home//ann"), "/home/ann");
    EXPECT_EQ(PosixPathOf("Z:\\home\\Документы\\写真"), "/home/Документы/写真");
    EXPECT_EQ(WindowsPathOf("/home/ann/Data"), "Z:\\home\\ann\\Data");
    EXPECT_EQ(WindowsPathOf("/home/ann/Data/"), "Z:\\home\\ann\\Data");
    EXPECT_EQ(WindowsPathOf("/"), "Z:\\");
    EXPECT_EQ(WindowsPathOf("/home/a b/\"q\""), "Z:\\home\\a b\\\"q\"");
}

TEST(PathMappingTest, OtherDrivesAndRelativePathsHaveNoPosixPath) {
    for (const char* path : {"C:\\Data", "C:", "Z:", "Z:relative", "\\home\\ann", "data",
                             "\\\\server\\share\\x", ""}) {
        EXPECT_FALSE(TryPosixPathOf(path)) << path;
    }
    EXPECT_THROW(PosixPathOf("C:\\Data"), PlatformError);
}

TEST(PathMappingTest, UnrepresentableOrRelativePosixPathsAreRefused) {
    EXPECT_THROW(WindowsPathOf("/home/ann/back\\slash"), PlatformError);
    EXPECT_THROW(WindowsPathOf("home/ann"), PlatformError);
    EXPECT_THROW(WindowsPathOf(""), PlatformError);
}

TEST(PathMappingTest, DotsAreResolvedLexicallyAndNeverClimbAboveTheRoot) {
    EXPECT_EQ(PosixPathOf("Z:\\a\\.\\b\\..\\c"), "/a/c");
    EXPECT_EQ(PosixPathOf("Z:\\..\\..\\etc"), "/etc");
    EXPECT_EQ(PosixPathOf("Z:\\a\\..\\..\\..\\"), "/");
    EXPECT_EQ(WindowsPathOf("/a/../../b/."), "Z:\\b");
}

TEST(PathMappingTest, InsideFolderSeesThroughDotsAndPrefixes) {
    const std::string menu = "Z:\\home\\ann\\Start Menu";
    EXPECT_TRUE(IsInsideFolder(menu + "\\Kestrow\\Data.lnk", menu));
    EXPECT_TRUE(IsInsideFolder(menu + "\\Data.lnk", menu + "\\"));
    EXPECT_FALSE(IsInsideFolder(menu + "\\..\\Data.lnk", menu));
    EXPECT_FALSE(IsInsideFolder(menu + "\\Kestrow\\..\\..\\x.lnk", menu));
    EXPECT_FALSE(IsInsideFolder(menu + " Old\\Data.lnk", menu));  // a sibling sharing the prefix
    EXPECT_FALSE(IsInsideFolder(menu, menu));
    EXPECT_FALSE(IsInsideFolder("C:\\Start Menu\\x.lnk", "C:\\Start Menu"));
    EXPECT_TRUE(IsInsideFolder("Z:\\x", "Z:\\"));
}

TEST(PathMappingTest, InsideFolderSeesThroughSymbolicLinks) {
    testing::TestFolder tmp;
    fs::create_directories(tmp.Native() / "menu" / "sub");
    fs::create_directories(tmp.Native() / "outside");
    fs::create_directory_symlink(tmp.Native() / "outside", tmp.Native() / "menu" / "escape");
    fs::create_directory_symlink(tmp.Native() / "menu" / "sub", tmp.Native() / "menu" / "alias");
    const std::string menu = tmp.Windows("menu");

    EXPECT_FALSE(IsInsideFolder(menu + "\\escape\\x.lnk", menu));
    EXPECT_FALSE(IsInsideFolder(menu + "\\escape\\new\\deeper\\x.lnk", menu));
    EXPECT_TRUE(IsInsideFolder(menu + "\\alias\\x.lnk", menu));
    EXPECT_TRUE(IsInsideFolder(menu + "\\sub\\not-yet\\x.lnk", menu));

    // A Start Menu that is itself a link to elsewhere still contains its files.
    fs::create_directory_symlink(tmp.Native() / "menu", tmp.Native() / "linked-menu");
    EXPECT_TRUE(
        IsInsideFolder(tmp.Windows("linked-menu") + "\\sub\\x.lnk", tmp.Windows("linked-menu")));
}

}  // namespace
}  // namespace platform::posix
