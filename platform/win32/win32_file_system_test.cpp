#include "win32/win32_file_system.h"

#include <gtest/gtest.h>

#include "platform_error.h"
#include "win32/win32_test_folder.h"
#include "win32/windows_api.h"

namespace platform::win32 {
namespace {

using testing::TestFolder;

TEST(Win32FileSystemObject, TellsFilesFromFoldersAndMakesFolders) {
    TestFolder folder;
    Win32FileSystemObject fs;
    folder.WriteFile("a.lnk");
    EXPECT_TRUE(fs.FileExists(folder.Path("a.lnk")));
    EXPECT_FALSE(fs.FolderExists(folder.Path("a.lnk")));
    EXPECT_TRUE(fs.FolderExists(folder.Path()));
    EXPECT_FALSE(fs.FileExists(folder.Path()));
    EXPECT_FALSE(fs.FileExists(folder.Path("missing.lnk")));

    const std::string unicode = folder.Path(
        "\xC3\x9C"
        "bung \xE2\x98\x83");  // Übung ☃
    fs.CreateFolder(unicode);
    EXPECT_TRUE(fs.FolderExists(unicode));
    EXPECT_THROW(fs.CreateFolder(unicode), PlatformError);
    EXPECT_THROW(fs.CreateFolder(folder.Path("no\\such\\parent")), PlatformError);
    EXPECT_THROW(fs.CreateFolder("C:\\bad\xFF"), PlatformError);
}

TEST(Win32FileSystemObject, DeletesReadOnlyFilesOnlyWhenForced) {
    TestFolder folder;
    Win32FileSystemObject fs;
    folder.WriteFile("locked.lnk", "x", FILE_ATTRIBUTE_READONLY);
    EXPECT_THROW(fs.DeleteFile(folder.Path("locked.lnk"), false), PlatformError);
    EXPECT_TRUE(fs.FileExists(folder.Path("locked.lnk")));
    fs.DeleteFile(folder.Path("locked.lnk"), true);
    EXPECT_FALSE(fs.FileExists(folder.Path("locked.lnk")));
    EXPECT_THROW(fs.DeleteFile(folder.Path("locked.lnk"), true), PlatformError);
    EXPECT_THROW(fs.DeleteFile(folder.Path(), true), PlatformError);  // a folder is no file
}

TEST(Win32FileQueries, DirFindsTheFirstWantedEntryByName) {
    TestFolder folder;
    Win32FileQueries files;
    folder.WriteFile("b.lnk");
    folder.WriteFile("a.lnk");
    folder.WriteFile("hidden.lnk", "x", FILE_ATTRIBUTE_HIDDEN);
    ::CreateDirectoryW(Wide(folder.Path("Sub.lnk")).c_str(), nullptr);

    EXPECT_EQ(files.Dir(folder.Path("*.lnk"), kAttrNormal), "a.lnk");
    EXPECT_EQ(files.Dir(folder.Path("h*.lnk"), kAttrNormal), "");
    EXPECT_EQ(files.Dir(folder.Path("h*.lnk"), kAttrHidden), "hidden.lnk");
    EXPECT_EQ(files.Dir(folder.Path("S*"), kAttrNormal), "");
    EXPECT_EQ(files.Dir(folder.Path("S*"), kAttrDirectory), "Sub.lnk");
    EXPECT_EQ(files.Dir(folder.Path("B.LNK"), kAttrNormal), "b.lnk");  // names ignore case
    EXPECT_EQ(files.Dir(folder.Path("none*"), kAttrDirectory), "");
    EXPECT_EQ(files.Dir(folder.Path("missing\\*"), kAttrDirectory), "");
}

TEST(Win32FileQueries, AttributesAndDriveTypes) {
    TestFolder folder;
    Win32FileQueries files;
    folder.WriteFile("ro.lnk", "x", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files.GetAttr(folder.Path()) & kAttrDirectory);
    EXPECT_TRUE(files.GetAttr(folder.Path("ro.lnk")) & kAttrReadOnly);
    EXPECT_FALSE(files.GetAttr(folder.Path("ro.lnk")) & kAttrDirectory);
    EXPECT_THROW(files.GetAttr(folder.Path("missing")), PlatformError);
    ::SetFileAttributesW(Wide(folder.Path("ro.lnk")).c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(files.GetDriveType("C:\\"), kDriveFixed);
    EXPECT_EQ(files.GetDriveType("C:"), kDriveFixed);
    // No drive has this letter in the test prefix.
    EXPECT_EQ(files.GetDriveType("Q:\\"), kDriveNoRootDir);
}

}  // namespace
}  // namespace platform::win32
