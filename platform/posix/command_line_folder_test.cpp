#include "platform/posix/command_line_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform_error.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

TEST(CommandLineFolderTest, PosixPathsBecomeTheirZDriveFormLetterForLetter) {
    EXPECT_EQ(CommandLineFolder("/home/ann/Projects"), "Z:\\home\\ann\\Projects");
    EXPECT_EQ(CommandLineFolder("/home/ann/Мои Проекты//"), "Z:\\home\\ann\\Мои Проекты\\\\");
    EXPECT_EQ(CommandLineFolder("/"), "Z:\\");
    EXPECT_EQ(CommandLineFolder("/tmp/../../etc"), "Z:\\tmp\\..\\..\\etc");
}

TEST(CommandLineFolderTest, WindowsPathsAndOtherTextStayAsTheyAre) {
    EXPECT_EQ(CommandLineFolder("C:\\Data\\Projects"), "C:\\Data\\Projects");
    EXPECT_EQ(CommandLineFolder("D:"), "D:");
    EXPECT_EQ(CommandLineFolder("no such folder here"), "no such folder here");
    EXPECT_EQ(CommandLineFolder(""), "");
}

// One pair of quotes around all of it is quoting, as a folder command's "%1"
// passes a path with blanks; quotes anywhere else stay and reach the name.
TEST(CommandLineFolderTest, OnePairOfQuotesAroundTheWholeTextIsTakenOff) {
    EXPECT_EQ(CommandLineFolder("\"C:\\My Data\""), "C:\\My Data");
    EXPECT_EQ(CommandLineFolder("\"/home/ann/My Data/\""), "Z:\\home\\ann\\My Data\\");
    EXPECT_EQ(CommandLineFolder("\"C:\\a\" \"b\""), "\"C:\\a\" \"b\"");
    EXPECT_EQ(CommandLineFolder("C:\\Data\""), "C:\\Data\"");
    EXPECT_EQ(CommandLineFolder("\""), "\"");
    EXPECT_EQ(CommandLineFolder("\"\""), "");
}

TEST(CommandLineFolderTest, RelativePathToAnExistingFolderMeansThatFolder) {
    const auto old = std::filesystem::current_path();
    const testing::TestFolder base;
    std::filesystem::create_directory(base.Native() / "Projects");
    std::filesystem::current_path(base.Native());
    const std::string mapped = CommandLineFolder("Projects");
    std::filesystem::current_path(old);
    EXPECT_EQ(mapped, CommandLineFolder(base.Path("Projects")));
}

TEST(CommandLineFolderTest, BackslashInAPosixNameIsRefused) {
    EXPECT_THROW(CommandLineFolder("/tmp/a\\b"), PlatformError);
}

}  // namespace
}  // namespace platform::posix
