#include "platform/posix/posix_file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/platform_error.h"
#include "platform/posix/posix_file_queries.h"
#include "platform/testing/file_system_contract.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

void MakeFile(const fs::path& path,
              fs::perms perms = fs::perms::owner_read | fs::perms::owner_write) {
    std::ofstream(path) << "x";
    fs::permissions(path, perms);
}

// The backend on the Z: drive, in a folder of its own.
class PosixFiles {
  public:
    FileSystemObject& fso() { return fso_; }
    FileQueries& queries() { return queries_; }
    // name is a Windows path below the folder.
    std::string Path(const std::string& name) const {
        return name.empty() ? folder_.Windows() : folder_.Windows() + "\\" + name;
    }
    void MakeFile(const std::string& name, bool readOnly = false) {
        ::platform::posix::MakeFile(
            folder_.Native() / name,
            readOnly ? fs::perms::owner_read : fs::perms::owner_read | fs::perms::owner_write);
    }
    void MakeFolder(const std::string& name) { fs::create_directory(folder_.Native() / name); }

  private:
    testing::TestFolder folder_;
    PosixFileSystemObject fso_;
    PosixFileQueries queries_;
};

class PosixFileSystemTest : public ::testing::Test {
  protected:
    testing::TestFolder tmp_;
    PosixFileSystemObject fso_;
    PosixFileQueries queries_;
};

TEST_F(PosixFileSystemTest, ARefusedDeleteSaysTheFileIsReadOnly) {
    MakeFile(tmp_.Native() / "Locked.lnk", fs::perms::owner_read | fs::perms::group_read);
    try {
        fso_.DeleteFile(tmp_.Windows("Locked.lnk"), false);
        FAIL() << "a read-only file was deleted without force";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("read-only"), std::string::npos);
    }
}

TEST_F(PosixFileSystemTest, WildcardsAreNamesWhenDeleting) {
    MakeFile(tmp_.Native() / "keep.lnk");
    // It names one file, which is not there: as deleted as it can be.
    EXPECT_NO_THROW(fso_.DeleteFile(tmp_.Windows("*.lnk"), true));
    EXPECT_TRUE(fs::exists(tmp_.Native() / "keep.lnk"));
}

TEST_F(PosixFileSystemTest, OnlyDriveZIsThere) {
    EXPECT_EQ(queries_.GetDriveType("Z:\\"), kDriveFixed);
    EXPECT_EQ(queries_.GetDriveType("z:"), kDriveFixed);
    EXPECT_EQ(queries_.GetDriveType("C:\\"), kDriveNoRootDir);
    EXPECT_EQ(queries_.GetDriveType("C:"), kDriveNoRootDir);
    EXPECT_EQ(queries_.GetDriveType("1:"), kDriveNoRootDir);
    EXPECT_FALSE(fso_.FolderExists("C:\\Windows"));
    EXPECT_FALSE(fso_.FileExists("C:\\Windows\\explorer.exe"));
    EXPECT_THROW(fso_.CreateFolder("C:\\Kestrow"), PlatformError);
    EXPECT_THROW(fso_.DeleteFile("C:\\x.lnk", true), PlatformError);
    EXPECT_EQ(queries_.Dir("C:\\Windows", 16), "");
    EXPECT_THROW(queries_.GetAttr("C:\\Windows"), PlatformError);
}

TEST_F(PosixFileSystemTest, DirMatchesCaseSensitivelyAndHonoursTheMask) {
    fs::create_directory(tmp_.Native() / "Kestrow");
    MakeFile(tmp_.Native() / "Data.lnk");
    MakeFile(tmp_.Native() / ".hidden.lnk");
    MakeFile(tmp_.Native() / "Locked.lnk", fs::perms::owner_read);

    EXPECT_EQ(queries_.Dir(tmp_.Windows("Kestrow"), 7), "");   // folders need 16
    EXPECT_EQ(queries_.Dir(tmp_.Windows("kestrow"), 16), "");  // case differs
    EXPECT_EQ(queries_.Dir(tmp_.Windows("Data.lnk"), 0), "Data.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows(".hidden.lnk"), 0), "");
    EXPECT_EQ(queries_.Dir(tmp_.Windows(".hidden.lnk"), 2), ".hidden.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("Locked.lnk"), 0), "");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("Locked.lnk"), 1), "Locked.lnk");

    // One file under two spellings (which is how a file system that ignores
    // case answers both): each name is answered as it is stored.
    fs::create_hard_link(tmp_.Native() / "Data.lnk", tmp_.Native() / "dATA.LNK");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("Data.lnk"), 0), "Data.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("dATA.LNK"), 0), "dATA.LNK");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("data.lnk"), 0), "");
}

TEST_F(PosixFileSystemTest, DirWildcardsAnswerTheFirstMatchInNameOrder) {
    for (const char* name : {"b.lnk", "a.lnk", "a.txt", "Документ.lnk"}) {
        MakeFile(tmp_.Native() / name);
    }
    EXPECT_EQ(queries_.Dir(tmp_.Windows("????????.lnk"), 0), "Документ.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("*.*"), 0), "a.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("") + "\\", 0), "a.lnk");
    EXPECT_EQ(queries_.Dir(tmp_.Windows("*.LNK"), 0), "");
}

TEST_F(PosixFileSystemTest, GetAttrReportsFolderReadOnlyHiddenAndArchive) {
    fs::create_directory(tmp_.Native() / "Kestrow");
    MakeFile(tmp_.Native() / "Data.lnk");
    MakeFile(tmp_.Native() / ".Locked", fs::perms::owner_read);
    EXPECT_EQ(queries_.GetAttr(tmp_.Windows("Kestrow")), 16);
    EXPECT_EQ(queries_.GetAttr(tmp_.Windows("Data.lnk")), 32);
    EXPECT_EQ(queries_.GetAttr(tmp_.Windows(".Locked")), 32 | 2 | 1);
}

}  // namespace

}  // namespace platform::posix

namespace platform::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileSystemContract, posix::PosixFiles);
}  // namespace platform::testing
