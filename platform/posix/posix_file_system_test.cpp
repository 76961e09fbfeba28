#include "posix/posix_file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform_error.h"
#include "posix/posix_file_queries.h"
#include "testing/test_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

void MakeFile(const fs::path& path,
              fs::perms perms = fs::perms::owner_read | fs::perms::owner_write) {
    std::ofstream(path) << "x";
    fs::permissions(path, perms);
}

class PosixFileSystemTest : public ::testing::Test {
  protected:
    testing::TestFolder tmp_;
    PosixFileSystemObject fso_;
    PosixFileQueries queries_;
};

TEST_F(PosixFileSystemTest, ExistenceTestsTellFilesFromFolders) {
    fs::create_directory(tmp_.Posix() / "Kestrow");
    MakeFile(tmp_.Posix() / "Data.lnk");
    EXPECT_TRUE(fso_.FolderExists(tmp_.Windows("Kestrow")));
    EXPECT_TRUE(fso_.FolderExists(tmp_.Windows("Kestrow") + "\\"));
    EXPECT_FALSE(fso_.FolderExists(tmp_.Windows("Data.lnk")));
    EXPECT_TRUE(fso_.FileExists(tmp_.Windows("Data.lnk")));
    EXPECT_FALSE(fso_.FileExists(tmp_.Windows("Kestrow")));
    EXPECT_FALSE(fso_.FileExists(tmp_.Windows("Missing.lnk")));
    EXPECT_FALSE(fso_.FolderExists("C:\\Windows"));
    EXPECT_FALSE(fso_.FileExists("C:\\Windows\\explorer.exe"));
}

TEST_F(PosixFileSystemTest, CreateFolderMakesOneFolderOrFailsClearly) {
    fso_.CreateFolder(tmp_.Windows("Kestrow"));
    EXPECT_TRUE(fs::is_directory(tmp_.Posix() / "Kestrow"));
    EXPECT_THROW(fso_.CreateFolder(tmp_.Windows("Kestrow")), PlatformError);
    EXPECT_THROW(fso_.CreateFolder(tmp_.Windows("missing\\child")), PlatformError);
    EXPECT_FALSE(fs::exists(tmp_.Posix() / "missing"));
    EXPECT_THROW(fso_.CreateFolder("C:\\Kestrow"), PlatformError);
}

TEST_F(PosixFileSystemTest, DeleteRefusesReadOnlyFilesWithoutForceEvenForRoot) {
    MakeFile(tmp_.Posix() / "Locked.lnk", fs::perms::owner_read | fs::perms::group_read);
    try {
        fso_.DeleteFile(tmp_.Windows("Locked.lnk"), false);
        FAIL() << "a read-only file was deleted without force";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("read-only"), std::string::npos);
    }
    EXPECT_TRUE(fs::exists(tmp_.Posix() / "Locked.lnk"));
    fso_.DeleteFile(tmp_.Windows("Locked.lnk"), true);
    EXPECT_FALSE(fs::exists(tmp_.Posix() / "Locked.lnk"));

    MakeFile(tmp_.Posix() / "Plain.lnk");
    fso_.DeleteFile(tmp_.Windows("Plain.lnk"), false);
    EXPECT_FALSE(fs::exists(tmp_.Posix() / "Plain.lnk"));
}

TEST_F(PosixFileSystemTest, DeleteFailsForWhatIsNotAFile) {
    fs::create_directory(tmp_.Posix() / "Folder.lnk");
    EXPECT_THROW(fso_.DeleteFile(tmp_.Windows("Folder.lnk"), true), PlatformError);
    EXPECT_TRUE(fs::is_directory(tmp_.Posix() / "Folder.lnk"));
    EXPECT_THROW(fso_.DeleteFile(tmp_.Windows("Missing.lnk"), false), PlatformError);
    EXPECT_THROW(fso_.DeleteFile("C:\\x.lnk", true), PlatformError);
    // Wildcards are names here, never patterns.
    MakeFile(tmp_.Posix() / "keep.lnk");
    EXPECT_THROW(fso_.DeleteFile(tmp_.Windows("*.lnk"), true), PlatformError);
    EXPECT_TRUE(fs::exists(tmp_.Posix() / "keep.lnk"));
}

TEST_F(PosixFileSystemTest, DirMatchesCaseSensitivelyAndHonoursTheMask) {
    fs::create_directory(tmp_.Posix() / "Kestrow");
    MakeFile(tmp_.Posix() / "Data.lnk");
    MakeFile(tmp_.Posix() / ".hidden.lnk");
    MakeFile(tmp_.Posix() / "Locked.lnk", fs::perms::owner_read);

    EXPECT_EQ(queries_.Dir(tmp_.Windows("Kestrow"), 16), "Kestrow");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("Kestrow"), 7), "");   // folders need 16
    EXPECT_EQ(queries_.Dir(tmp_.Windows("kestrow"), 16), "");  // case differs
    EXPECT_EQ(queries_.Dir(tmp_.Windows("Data.lnk"), 0), "Data.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows(".hidden.lnk"), 0), "");
    EXPECT_EQ(queries_.Dir(tmp_.Windows(".hidden.lnk"), 2), ".hidden.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("Locked.lnk"), 0), "");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("Locked.lnk"), 1), "Locked.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("Missing.lnk"), 7), "");
    EXPECT_EQ(queries_.Dir("C:\\Windows", 16), "");

    // One file under two spellings (which is how a file system that ignores
    // case answers both): each name is answered as it is stored.
    fs::create_hard_link(tmp_.Posix() / "Data.lnk", tmp_.Posix() / "dATA.LNK");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("Data.lnk"), 0), "Data.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("dATA.LNK"), 0), "dATA.LNK");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("data.lnk"), 0), "");
}

TEST_F(PosixFileSystemTest, DirWildcardsAnswerTheFirstMatchInNameOrder) {
    for (const char* name : {"b.lnk", "a.lnk", "a.txt", "Документ.lnk"}) {
        MakeFile(tmp_.Posix() / name);
    }
    EXPECT_EQ(queries_.Dir(tmp_.Windows("*.lnk"), 0), "a.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("?.txt"), 0), "a.txt");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("????????.lnk"), 0), "Документ.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("*.*"), 0), "a.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("") + "\\", 0), "a.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("*.LNK"), 0), "");
}

TEST_F(PosixFileSystemTest, GetAttrReportsFolderReadOnlyHiddenAndArchive) {
    fs::create_directory(tmp_.Posix() / "Kestrow");
    MakeFile(tmp_.Posix() / "Data.lnk");
    MakeFile(tmp_.Posix() / ".Locked", fs::perms::owner_read);
    EXPECT_EQ(queries_.GetAttr(tmp_.Windows("Kestrow")), 16);
    EXPECT_EQ(queries_.GetAttr(tmp_.Windows("Data.lnk")), 32);
    EXPECT_EQ(queries_.GetAttr(tmp_.Windows(".Locked")), 32 | 2 | 1);
    EXPECT_THROW(queries_.GetAttr(tmp_.Windows("Missing")), PlatformError);
    EXPECT_THROW(queries_.GetAttr("C:\\Windows"), PlatformError);
}

TEST_F(PosixFileSystemTest, OnlyDriveZIsThere) {
    EXPECT_EQ(queries_.GetDriveType("Z:\\"), kDriveFixed);
    EXPECT_EQ(queries_.GetDriveType("z:"), kDriveFixed);
    EXPECT_EQ(queries_.GetDriveType("C:\\"), kDriveNoRootDir);
    EXPECT_EQ(queries_.GetDriveType("C:"), kDriveNoRootDir);
    EXPECT_EQ(queries_.GetDriveType("1:"), kDriveNoRootDir);
}

}  // namespace
}  // namespace platform
