// What every file-system backend promises the programs, written once and
// run over each backend that is built. A backend's test file instantiates it
// with a type that owns the backend's two objects and an empty folder:
//
//   struct PosixFiles {
//       FileSystemObject& fso();
//       FileQueries& queries();
//       std::string Path(const std::string& name) const;  // "" is the folder
//       void MakeFile(const std::string& name, bool readOnly = false);
//       void MakeFolder(const std::string& name);
//   };
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/platform_error.h"
#include "platform/shell/file_system.h"

namespace platform::testing {

template <typename Backend>
class FileSystemContract : public ::testing::Test {
  protected:
    Backend backend_;
};

TYPED_TEST_SUITE_P(FileSystemContract);

TYPED_TEST_P(FileSystemContract, ExistenceTellsFilesFromFolders) {
    auto& backend = this->backend_;
    backend.MakeFolder("Kestrow");
    backend.MakeFile("Data.lnk");
    FileSystemObject& fso = backend.fso();
    EXPECT_TRUE(fso.FolderExists(backend.Path("Kestrow")));
    EXPECT_TRUE(fso.FolderExists(backend.Path("Kestrow") + "\\"));
    EXPECT_TRUE(fso.FolderExists(backend.Path("")));
    EXPECT_FALSE(fso.FolderExists(backend.Path("Data.lnk")));
    EXPECT_TRUE(fso.FileExists(backend.Path("Data.lnk")));
    EXPECT_FALSE(fso.FileExists(backend.Path("Kestrow")));
    EXPECT_FALSE(fso.FileExists(backend.Path("Missing.lnk")));
    EXPECT_FALSE(fso.FolderExists(backend.Path("Missing")));
}

TYPED_TEST_P(FileSystemContract, CreateFolderMakesOneFolderOrFailsClearly) {
    auto& backend = this->backend_;
    FileSystemObject& fso = backend.fso();
    fso.CreateFolder(backend.Path("Kestrow"));
    EXPECT_TRUE(fso.FolderExists(backend.Path("Kestrow")));
    const std::string unicode = backend.Path(
        "\xC3\x9C"
        "bung \xE2\x98\x83");  // Übung ☃
    fso.CreateFolder(unicode);
    EXPECT_TRUE(fso.FolderExists(unicode));

    EXPECT_THROW(fso.CreateFolder(backend.Path("Kestrow")), PlatformError);
    EXPECT_THROW(fso.CreateFolder(backend.Path("missing\\child")), PlatformError);
    EXPECT_FALSE(fso.FolderExists(backend.Path("missing")));
}

TYPED_TEST_P(FileSystemContract, DeleteRefusesReadOnlyFilesWithoutForce) {
    auto& backend = this->backend_;
    FileSystemObject& fso = backend.fso();
    backend.MakeFile("Locked.lnk", true);
    EXPECT_THROW(fso.DeleteFile(backend.Path("Locked.lnk"), false), PlatformError);
    EXPECT_TRUE(fso.FileExists(backend.Path("Locked.lnk")));
    fso.DeleteFile(backend.Path("Locked.lnk"), true);
    EXPECT_FALSE(fso.FileExists(backend.Path("Locked.lnk")));

    backend.MakeFile("Plain.lnk");
    fso.DeleteFile(backend.Path("Plain.lnk"), false);
    EXPECT_FALSE(fso.FileExists(backend.Path("Plain.lnk")));
}

// A file that another run removed first counts as deleted; a folder is no file.
TYPED_TEST_P(FileSystemContract, DeleteFailsForAFolderAndPassesForAFileAlreadyGone) {
    auto& backend = this->backend_;
    FileSystemObject& fso = backend.fso();
    backend.MakeFolder("Folder.lnk");
    EXPECT_THROW(fso.DeleteFile(backend.Path("Folder.lnk"), true), PlatformError);
    EXPECT_TRUE(fso.FolderExists(backend.Path("Folder.lnk")));
    EXPECT_NO_THROW(fso.DeleteFile(backend.Path("Missing.lnk"), false));
    EXPECT_NO_THROW(fso.DeleteFile(backend.Path("Missing\\Missing.lnk"), true));
}

TYPED_TEST_P(FileSystemContract, DirAnswersTheFirstWantedEntryInNameOrder) {
    auto& backend = this->backend_;
    FileQueries& queries = backend.queries();
    for (const char* name : {"b.lnk", "a.lnk", "a.txt"}) backend.MakeFile(name);
    backend.MakeFile("Locked.lnk", true);
    backend.MakeFolder("Sub.lnk");

    EXPECT_EQ(queries.Dir(backend.Path("*.lnk"), kAttrNormal), "a.lnk");
    EXPECT_EQ(queries.Dir(backend.Path("?.txt"), kAttrNormal), "a.txt");
    EXPECT_EQ(queries.Dir(backend.Path("b.lnk"), kAttrNormal), "b.lnk");
    EXPECT_EQ(queries.Dir(backend.Path("S*"), kAttrNormal), "");  // folders need their bit
    EXPECT_EQ(queries.Dir(backend.Path("S*"), kAttrDirectory), "Sub.lnk");
    EXPECT_EQ(queries.Dir(backend.Path("L*"), kAttrNormal), "");
    EXPECT_EQ(queries.Dir(backend.Path("L*"), kAttrReadOnly), "Locked.lnk");
    EXPECT_EQ(queries.Dir(backend.Path("none*"), kAttrDirectory), "");
    EXPECT_EQ(queries.Dir(backend.Path("missing\\*"), kAttrDirectory), "");
}

TYPED_TEST_P(FileSystemContract, GetAttrTellsFoldersAndReadOnlyFiles) {
    auto& backend = this->backend_;
    FileQueries& queries = backend.queries();
    backend.MakeFolder("Kestrow");
    backend.MakeFile("ro.lnk", true);
    backend.MakeFile("Data.lnk");
    EXPECT_TRUE(queries.GetAttr(backend.Path("Kestrow")) & kAttrDirectory);
    EXPECT_TRUE(queries.GetAttr(backend.Path("ro.lnk")) & kAttrReadOnly);
    EXPECT_FALSE(queries.GetAttr(backend.Path("ro.lnk")) & kAttrDirectory);
    EXPECT_FALSE(queries.GetAttr(backend.Path("Data.lnk")) & (kAttrReadOnly | kAttrDirectory));
    EXPECT_THROW(queries.GetAttr(backend.Path("Missing")), PlatformError);
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemContract, ExistenceTellsFilesFromFolders,
                            CreateFolderMakesOneFolderOrFailsClearly,
                            DeleteRefusesReadOnlyFilesWithoutForce,
                            DeleteFailsForAFolderAndPassesForAFileAlreadyGone,
                            DirAnswersTheFirstWantedEntryInNameOrder,
                            GetAttrTellsFoldersAndReadOnlyFiles);

}  // namespace platform::testing
