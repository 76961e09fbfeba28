// What every scripting-shell backend promises about shortcut files, written
// once and run over each backend that is built. A backend's test file
// instantiates it with a type that owns the shell and an empty folder, and
// reads a saved shortcut back the way an independent reader would:
//
//   struct PosixShortcuts {
//       WshShell& shell();
//       std::string Path(const std::string& name) const;  // a Windows path
//       void WriteFile(const std::string& name, const std::string& bytes);
//       SavedShortcut ReadBack(const std::string& name) const;
//       int FileCount() const;  // files in the folder
//   };
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform_error.h"
#include "platform/shell/wsh_shell.h"
#include "platform/text/text.h"

namespace platform::testing {

struct SavedShortcut {
    std::string targetPath;
    std::string arguments;
    std::string description;
    std::string iconFile;
    int iconIndex = -1;
    std::uint32_t showCommand = 0;  // the header's field
};

template <typename Backend>
class ShellLinkContract : public ::testing::Test {
  protected:
    std::unique_ptr<WshShortcut> FolderShortcut(const std::string& name,
                                                const std::string& folder) {
        auto shortcut = backend_.shell().CreateShortcut(backend_.Path(name));
        shortcut->TargetPath = "explorer.exe";
        shortcut->Arguments = "/e,/root,\"" + folder + "\"";
        shortcut->WindowStyle = 3;
        shortcut->IconLocation = "C:\\Windows\\explorer.exe,1";
        shortcut->Description = "Shortcut to the folder\r\n" + folder;
        return shortcut;
    }

    Backend backend_;
};

TYPED_TEST_SUITE_P(ShellLinkContract);

TYPED_TEST_P(ShellLinkContract, SaveWritesEveryPropertyAndNothingElse) {
    const std::string folder =
        "C:\\Data\\Projekte \xC3\xA4 \xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE";  // Projekte ä Фото
    auto shortcut = this->FolderShortcut("Projekte \xC3\xA4.lnk", folder);
    EXPECT_EQ(this->backend_.FileCount(), 0) << "nothing before Save";
    shortcut->Save();

    const SavedShortcut saved = this->backend_.ReadBack("Projekte \xC3\xA4.lnk");
    EXPECT_TRUE(text::EqualsIgnoreCase(saved.targetPath, "C:\\Windows\\explorer.exe"))
        << saved.targetPath;
    EXPECT_EQ(saved.arguments, "/e,/root,\"" + folder + "\"");
    EXPECT_EQ(saved.description, "Shortcut to the folder\r\n" + folder);
    EXPECT_TRUE(text::EqualsIgnoreCase(saved.iconFile, "C:\\Windows\\explorer.exe"))
        << saved.iconFile;
    EXPECT_EQ(saved.iconIndex, 1);
    EXPECT_EQ(saved.showCommand, 3u);
    EXPECT_EQ(this->backend_.FileCount(), 1) << "no temporary file left beside it";
}

TYPED_TEST_P(ShellLinkContract, SaveReplacesAnOldFileWhole) {
    this->backend_.WriteFile("Old.lnk", "not a shortcut");
    auto shortcut = this->backend_.shell().CreateShortcut(this->backend_.Path("Old.lnk"));
    shortcut->TargetPath = "explorer.exe";
    shortcut->Arguments = "/n,\"C:\\\"";
    shortcut->Save();
    const SavedShortcut saved = this->backend_.ReadBack("Old.lnk");
    EXPECT_EQ(saved.arguments, "/n,\"C:\\\"");
    EXPECT_EQ(saved.showCommand, 1u);
    EXPECT_EQ(this->backend_.FileCount(), 1);
}

TYPED_TEST_P(ShellLinkContract, RefusedShortcutsLeaveNothingBehind) {
    EXPECT_THROW(this->FolderShortcut("no such folder\\A.lnk", "C:\\x")->Save(), PlatformError);
    EXPECT_THROW(this->FolderShortcut("A.txt", "C:\\x")->Save(), PlatformError);

    auto badStyle = this->FolderShortcut("B.lnk", "C:\\x");
    badStyle->WindowStyle = 2;
    EXPECT_THROW(badStyle->Save(), PlatformError);
    auto badIcon = this->FolderShortcut("C.lnk", "C:\\x");
    badIcon->IconLocation = "explorer.exe,one";
    EXPECT_THROW(badIcon->Save(), PlatformError);
    auto noTarget = this->backend_.shell().CreateShortcut(this->backend_.Path("D.lnk"));
    EXPECT_THROW(noTarget->Save(), PlatformError);

    EXPECT_EQ(this->backend_.FileCount(), 0);
}

TYPED_TEST_P(ShellLinkContract, AnUnknownSpecialFolderIsRefused) {
    EXPECT_FALSE(this->backend_.shell().SpecialFolder("StartMenu").empty());
    EXPECT_THROW(this->backend_.shell().SpecialFolder("Nowhere"), PlatformError);
}

REGISTER_TYPED_TEST_SUITE_P(ShellLinkContract, SaveWritesEveryPropertyAndNothingElse,
                            SaveReplacesAnOldFileWhole, RefusedShortcutsLeaveNothingBehind,
                            AnUnknownSpecialFolderIsRefused);

}  // namespace platform::testing
