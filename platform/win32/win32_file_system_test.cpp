#include "platform/win32/win32_file_system.h"

#include <gtest/gtest.h>

#include "platform/platform_error.h"
#include "platform/testing/file_system_contract.h"
#include "platform/testing/test_folder.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

using testing::TestFolder;

// The backend on the real file system, in a folder of its own.
class Win32Files {
  public:
    FileSystemObject& fso() { return fso_; }
    FileQueries& queries() { return queries_; }
    std::string Path(const std::string& name) const { return folder_.Path(name); }
    void MakeFile(const std::string& name, bool readOnly = false) {
        folder_.WriteFile(name, "x", readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    }
    void MakeFolder(const std::string& name) {
        ::CreateDirectoryW(Wide(folder_.Path(name)).c_str(), nullptr);
    }

  private:
    TestFolder folder_;
    Win32FileSystemObject fso_;
    Win32FileQueries queries_;
};

// Links inside are shown by the direct-mode test, where the prefix's folder
// can be made a link.
TEST(IsInsideFolder, ComparesFullPathsWithoutRegardToCase) {
    TestFolder folder;
    const std::string menu = folder.Path("Start Menu");
    ::CreateDirectoryW(Wide(menu).c_str(), nullptr);
    EXPECT_TRUE(IsInsideFolder(menu + "\\Kestrow\\A.lnk", menu + "\\"));
    EXPECT_TRUE(IsInsideFolder(folder.Path("START MENU/a.lnk"), menu));
    EXPECT_TRUE(IsInsideFolder(menu + "\\x\\..\\A.lnk", menu));
    EXPECT_FALSE(IsInsideFolder(menu + "\\..\\A.lnk", menu));
    EXPECT_FALSE(IsInsideFolder(folder.Path("Start Menu 2\\A.lnk"), menu));
    EXPECT_FALSE(IsInsideFolder(menu, menu));
    EXPECT_FALSE(IsInsideFolder(menu + "\\bad\xFF.lnk", menu));
}

TEST(Win32FileSystemObject, RefusesNamesThatAreNotText) {
    Win32FileSystemObject fs;
    EXPECT_THROW(fs.CreateFolder("C:\\bad\xFF"), PlatformError);
}

TEST(Win32FileQueries, DirIgnoresCaseAndWantsTheHiddenBit) {
    TestFolder folder;
    Win32FileQueries files;
    folder.WriteFile("b.lnk");
    folder.WriteFile("hidden.lnk", "x", FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ(files.Dir(folder.Path("h*.lnk"), kAttrNormal), "");
    EXPECT_EQ(files.Dir(folder.Path("h*.lnk"), kAttrHidden), "hidden.lnk");
    EXPECT_EQ(files.Dir(folder.Path("B.LNK"), kAttrNormal), "b.lnk");  // names ignore case
}

TEST(Win32FileQueries, DriveTypes) {
    Win32FileQueries files;
    EXPECT_EQ(files.GetDriveType("C:\\"), kDriveFixed);
    EXPECT_EQ(files.GetDriveType("C:"), kDriveFixed);
    // No drive has this letter in the test prefix.
    EXPECT_EQ(files.GetDriveType("Q:\\"), kDriveNoRootDir);
}

}  // namespace
}  // namespace platform::win32

namespace platform::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, win32::Win32Files);
}  // namespace platform::testing
