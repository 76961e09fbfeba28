#include "platform/posix/posix_wsh_shell.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "platform/platform_error.h"
#include "platform/posix/shell_link/shell_link_reader.h"
#include "platform/testing/scoped_env.h"
#include "platform/testing/shell_link_contract.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

// A registry holding at most the one key the Start Menu lookup reads.
class OneValueRegistry : public Registry {
  public:
    std::map<std::string, std::pair<std::uint32_t, std::string>>
        values;  // under User Shell Folders

    RegResult RegOpenKeyEx(RegKey, const std::string& subKey, std::uint32_t, std::uint32_t,
                           RegKey* result) override {
        if (values.empty() ||
            subKey != "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders")
            return kErrorFileNotFound;
        *result = 7;
        return kErrorSuccess;
    }
    RegResult RegQueryValueEx(RegKey, const std::string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* byteCount) override {
        const auto it = values.find(name);
        if (it == values.end()) return kErrorFileNotFound;
        const std::string& bytes = it->second.second;
        if (type) *type = it->second.first;
        if (data && *byteCount < bytes.size() + 1) return kErrorMoreData;
        if (data) std::copy(bytes.begin(), bytes.end(), data), data[bytes.size()] = 0;
        *byteCount = static_cast<std::uint32_t>(bytes.size() + 1);
        return kErrorSuccess;
    }
    RegResult RegSetValueEx(RegKey, const std::string&, std::uint32_t, std::uint32_t,
                            const std::uint8_t*, std::uint32_t) override {
        return kErrorAccessDenied;
    }
    RegResult RegCreateKeyEx(RegKey, const std::string&, std::uint32_t, RegKey*) override {
        return kErrorAccessDenied;
    }
    RegResult RegDeleteValue(RegKey, const std::string&) override { return kErrorAccessDenied; }
    RegResult RegDeleteKey(RegKey, const std::string&) override { return kErrorAccessDenied; }
    RegResult RegCloseKey(RegKey) override { return kErrorSuccess; }
    RegResult RegEnumKey(RegKey, std::uint32_t, std::string*) override { return kErrorNoMoreItems; }
    RegResult RegEnumValue(RegKey, std::uint32_t, std::string*, std::uint32_t*,
                           std::vector<std::uint8_t>*) override {
        return kErrorNoMoreItems;
    }
};

// The shell writing into a folder of its own on the Z: drive; what it wrote
// is read back by the project's own reader, which refuses what is not a
// shortcut.
class PosixShortcuts {
  public:
    WshShell& shell() { return shell_; }
    // name is a Windows path below the folder.
    std::string Path(const std::string& name) const {
        return name.empty() ? folder_.Windows() : folder_.Windows() + "\\" + name;
    }
    void WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_.Native() / name, std::ios::binary) << bytes;
    }
    testing::SavedShortcut ReadBack(const std::string& name) const {
        const ShellLink link = ReadShellLinkFile(folder_.Native() / name).link;
        return {link.targetPath,   link.arguments, link.description,
                link.iconLocation, link.iconIndex, link.showCommand};
    }
    int FileCount() const {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder_.Native())) {
            if (!entry.is_directory()) ++count;
        }
        return count;
    }

  private:
    testing::TestFolder folder_;
    testing::ScopedEnv home_{"HOME", folder_.Native().string() + "/home"};
    testing::ScopedEnv dataHome_{"XDG_DATA_HOME", nullptr};
    OneValueRegistry registry_;
    PosixWshShell shell_{registry_};
};

class PosixWshShellTest : public ::testing::Test {
  protected:
    testing::TestFolder tmp_;
    testing::ScopedEnv home_{"HOME", tmp_.Native().c_str()};
    testing::ScopedEnv dataHome_{"XDG_DATA_HOME", nullptr};
    OneValueRegistry registry_;
    PosixWshShell shell_{registry_};
};

TEST_F(PosixWshShellTest, StartMenuDefaultsToTheXdgDataFolderAndIsMade) {
    const std::string expected = tmp_.Windows(".local/share/kestrow/Start Menu");
    EXPECT_EQ(shell_.SpecialFolder("StartMenu"), expected);
    EXPECT_TRUE(fs::is_directory(tmp_.Native() / ".local/share/kestrow/Start Menu"));

    testing::ScopedEnv data("XDG_DATA_HOME", (tmp_.Native() / "data").c_str());
    EXPECT_EQ(shell_.SpecialFolder("StartMenu"), tmp_.Windows("data/kestrow/Start Menu"));
    EXPECT_TRUE(fs::is_directory(tmp_.Native() / "data/kestrow/Start Menu"));

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

TEST_F(PosixWshShellTest, SaveWritesNoWorkingFolderRelativePathOrHotKey) {
    auto shortcut = shell_.CreateShortcut(tmp_.Windows("Фото.lnk"));
    shortcut->TargetPath = "explorer.exe";
    shortcut->IconLocation = "explorer.exe,1";
    shortcut->Save();
    const auto read = ReadShellLinkFile(tmp_.Native() / "Фото.lnk");
    EXPECT_EQ(read.link.iconLocation, "explorer.exe");
    EXPECT_FALSE(read.hasWorkingDir);
    EXPECT_FALSE(read.hasRelativePath);
    EXPECT_EQ(read.hotKey, 0);
}

TEST_F(PosixWshShellTest, EachShortcutCarriesTheApplicationIdOfItsOwnPath) {
    const auto save = [&](const std::string& name, const std::string& folder) {
        auto shortcut = shell_.CreateShortcut(tmp_.Windows(name));
        shortcut->TargetPath = "explorer.exe";
        shortcut->Arguments = "/n,\"" + folder + "\"";
        shortcut->Save();
        return ReadShellLinkFile(tmp_.Native() / name).link.appUserModelId;
    };
    const std::string projects = save("Projects.lnk", "C:\\Projects");
    EXPECT_TRUE(projects.starts_with("Tamsholt.Kestrow2005.")) << projects;
    EXPECT_NE(save("Photos.lnk", "C:\\Photos"), projects);
    // Written again, even for another folder, it keeps the id a pin refers to.
    EXPECT_EQ(save("Projects.lnk", "C:\\Other"), projects);
    EXPECT_EQ(AppUserModelIdOfShortcut(tmp_.Windows("Projects.lnk")), projects);
    // Paths are compared as Windows compares them.
    EXPECT_EQ(AppUserModelIdOfShortcut(tmp_.Windows() + "\\sub\\.\\..\\PROJECTS.LNK"), projects);
    EXPECT_EQ(AppUserModelIdOfShortcut(tmp_.Windows("\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.lnk")),
              AppUserModelIdOfShortcut(tmp_.Windows("\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE.LNK")))
        << "Фото and фото";
}

TEST_F(PosixWshShellTest, SaveRefusesOtherDrives) {
    auto shortcut = shell_.CreateShortcut("C:\\Start Menu\\a.lnk");
    shortcut->TargetPath = "explorer.exe";
    EXPECT_THROW(shortcut->Save(), PlatformError);
    EXPECT_TRUE(fs::is_empty(tmp_.Native()));
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

}  // namespace platform::posix

namespace platform::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, ShellLinkContract, posix::PosixShortcuts);
}  // namespace platform::testing
