#include "posix/posix_wsh_shell.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "platform_error.h"
#include "testing/test_folder.h"
#include "posix/shell_link/shell_link_reader.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// A registry holding at most the one key the Start Menu lookup reads.
class OneValueRegistry : public Registry {
  public:
    std::map<std::string, std::pair<std::uint32_t, std::string>>
        values;  // under User Shell Folders

    long RegOpenKeyEx(RegKey, const std::string& subKey, std::uint32_t, std::uint32_t,
                      RegKey* result) override {
        if (values.empty() ||
            subKey != "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders")
            return kErrorFileNotFound;
        *result = 7;
        return kErrorSuccess;
    }
    long RegQueryValueEx(RegKey, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                         std::uint32_t* byteCount) override {
        const auto it = values.find(name);
        if (it == values.end()) return kErrorFileNotFound;
        const std::string& bytes = it->second.second;
        if (type) *type = it->second.first;
        if (data && *byteCount < bytes.size() + 1) return kErrorMoreData;
        if (data) std::copy(bytes.begin(), bytes.end(), data), data[bytes.size()] = 0;
        *byteCount = static_cast<std::uint32_t>(bytes.size() + 1);
        return kErrorSuccess;
    }
    long RegSetValueEx(RegKey, const std::string&, std::uint32_t, std::uint32_t,
                       const std::uint8_t*, std::uint32_t) override {
        return kErrorAccessDenied;
    }
    long RegCreateKeyEx(RegKey, const std::string&, std::uint32_t, RegKey*) override {
        return kErrorAccessDenied;
    }
    long RegDeleteValue(RegKey, const std::string&) override { return kErrorAccessDenied; }
    long RegDeleteKey(RegKey, const std::string&) override { return kErrorAccessDenied; }
    long RegCloseKey(RegKey) override { return kErrorSuccess; }
    long RegEnumKey(RegKey, std::uint32_t, std::string*) override { return kErrorNoMoreItems; }
    long RegEnumValue(RegKey, std::uint32_t, std::string*, std::uint32_t*,
                      std::vector<std::uint8_t>*) override {
        return kErrorNoMoreItems;
    }
};

class PosixWshShellTest : public ::testing::Test {
  protected:
    testing::TestFolder tmp_;
    testing::ScopedEnv home_{"HOME", tmp_.Posix().c_str()};
    testing::ScopedEnv dataHome_{"XDG_DATA_HOME", nullptr};
    OneValueRegistry registry_;
    PosixWshShell shell_{registry_};

    std::unique_ptr<WshShortcut> FolderShortcut(const std::string& path,
                                                const std::string& folder) {
        auto shortcut = shell_.CreateShortcut(path);
        shortcut->TargetPath = "explorer.exe";
        shortcut->Arguments = "/n,\"" + folder + "\"";
        shortcut->WindowStyle = 3;
        shortcut->IconLocation = "explorer.exe,1";
        shortcut->Description = "Shortcut to the folder\r\n" + folder;
        return shortcut;
    }
};

TEST_F(PosixWshShellTest, StartMenuDefaultsToTheXdgDataFolderAndIsMade) {
    const std::string expected = tmp_.Windows(".local/share/kestrow/Start Menu");
    EXPECT_EQ(shell_.SpecialFolder("StartMenu"), expected);
    EXPECT_TRUE(fs::is_directory(tmp_.Posix() / ".local/share/kestrow/Start Menu"));

    testing::ScopedEnv data("XDG_DATA_HOME", (tmp_.Posix() / "data").c_str());
    EXPECT_EQ(shell_.SpecialFolder("StartMenu"), tmp_.Windows("data/kestrow/Start Menu"));
    EXPECT_TRUE(fs::is_directory(tmp_.Posix() / "data/kestrow/Start Menu"));

    EXPECT_THROW(shell_.SpecialFolder("Desktop"), PlatformError);
}

TEST_F(PosixWshShellTest, StartMenuFollowsTheUserShellFoldersValue) {
    registry_.values["Start Menu"] = {kRegSz, "Z:\\srv\\menus\\ann\\"};
    EXPECT_EQ(shell_.SpecialFolder("StartMenu"), "Z:\\srv\\menus\\ann");

    registry_.values["Start Menu"] = {kRegExpandSz, "%USERPROFILE%\\Start Menu"};
    EXPECT_EQ(shell_.SpecialFolder("StartMenu"), tmp_.Windows() + "\\Start Menu");

    registry_.values["Start Menu"] = {kRegExpandSz, "%APPDATA%\\Start Menu"};
    EXPECT_THROW(shell_.SpecialFolder("StartMenu"), PlatformError);
}

TEST_F(PosixWshShellTest, SaveWritesTheShortcutWithEveryProperty) {
    const std::string folder = "Z:\\home\\ann\\Фото 写真";
    auto shortcut = FolderShortcut(tmp_.Windows("Фото.lnk"), folder);
    EXPECT_FALSE(fs::exists(tmp_.Posix() / "Фото.lnk"));  // nothing before Save
    shortcut->Save();

    const auto read = ReadShellLinkFile(tmp_.Posix() / "Фото.lnk");
    EXPECT_EQ(read.link.targetPath, "C:\\Windows\\explorer.exe");
    EXPECT_EQ(read.link.arguments, "/n,\"" + folder + "\"");
    EXPECT_EQ(read.link.description, "Shortcut to the folder\r\n" + folder);
    EXPECT_EQ(read.link.iconLocation, "explorer.exe");
    EXPECT_EQ(read.link.iconIndex, 1);
    EXPECT_EQ(read.link.showCommand, 3u);
    EXPECT_FALSE(read.hasWorkingDir);
    EXPECT_FALSE(read.hasRelativePath);
    EXPECT_EQ(read.hotKey, 0);
}

TEST_F(PosixWshShellTest, SaveFailsClearlyAndWritesNothing) {
    EXPECT_THROW(FolderShortcut("C:\\Start Menu\\a.lnk", "Z:\\x")->Save(), PlatformError);
    EXPECT_THROW(FolderShortcut(tmp_.Windows("missing") + "\\a.lnk", "Z:\\x")->Save(),
                 PlatformError);
    EXPECT_THROW(FolderShortcut(tmp_.Windows("a.txt"), "Z:\\x")->Save(), PlatformError);

    auto badStyle = FolderShortcut(tmp_.Windows("b.lnk"), "Z:\\x");
    badStyle->WindowStyle = 2;
    EXPECT_THROW(badStyle->Save(), PlatformError);
    auto badIcon = FolderShortcut(tmp_.Windows("c.lnk"), "Z:\\x");
    badIcon->IconLocation = "explorer.exe,one";
    EXPECT_THROW(badIcon->Save(), PlatformError);
    EXPECT_TRUE(fs::is_empty(tmp_.Posix()));
}

TEST(ShellLinkOfTest, ResolvesBareProgramNamesAsTheShellDoes) {
    struct Plain : WshShortcut {
        void Save() override {}
    } shortcut;
    shortcut.TargetPath = "Explorer.EXE";
    EXPECT_EQ(ShellLinkOf(shortcut).targetPath, "C:\\Windows\\Explorer.EXE");
    shortcut.TargetPath = "calc.exe";
    EXPECT_EQ(ShellLinkOf(shortcut).targetPath, "C:\\Windows\\System32\\calc.exe");
    shortcut.TargetPath = "D:\\Tools\\x.exe";
    EXPECT_EQ(ShellLinkOf(shortcut).targetPath, "D:\\Tools\\x.exe");
    shortcut.TargetPath = "";
    EXPECT_THROW(ShellLinkOf(shortcut), PlatformError);
    shortcut.TargetPath = "bin\\x.exe";
    EXPECT_THROW(ShellLinkOf(shortcut), PlatformError);

    shortcut.TargetPath = "explorer.exe";
    shortcut.IconLocation = "C:\\icons,x\\a.ico,-3";
    const auto link = ShellLinkOf(shortcut);
    EXPECT_EQ(link.iconLocation, "C:\\icons,x\\a.ico");
    EXPECT_EQ(link.iconIndex, -3);
}

}  // namespace
}  // namespace platform
