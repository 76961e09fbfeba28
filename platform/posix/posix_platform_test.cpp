#include "platform/posix/posix_platform.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform_error.h"
#include "platform/posix/path_mapping.h"
#include "platform/posix/shell_link/shell_link_reader.h"
#include "platform/testing/scoped_env.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

class PosixPlatformTest : public ::testing::Test {
  protected:
    testing::TestFolder tmp_;
    testing::ScopedEnv home_{"HOME", tmp_.Native().c_str()};
    testing::ScopedEnv data_{"XDG_DATA_HOME", nullptr};
    testing::ScopedEnv config_{"XDG_CONFIG_HOME", nullptr};
    testing::ScopedEnv runtime_{"XDG_RUNTIME_DIR", tmp_.Native().c_str()};
};

TEST_F(PosixPlatformTest, TheBundleWritesShortcutsIntoTheRegisteredStartMenu) {
    Platform platform = MakePosixPlatform({"", (tmp_.Native() / "registry.db").string(), {}});

    // The Start Menu named in the registry wins over the XDG default.
    RegKey key = 0;
    ASSERT_EQ(platform.registry->RegCreateKeyEx(
                  kHkeyCurrentUser,
                  "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                  kKeyAllUsual, &key),
              kErrorSuccess);
    const std::string menu = "%USERPROFILE%\\Menu";
    ASSERT_EQ(platform.registry->RegSetValueEx(key, "Start Menu", 0, kRegExpandSz,
                                               reinterpret_cast<const std::uint8_t*>(menu.data()),
                                               static_cast<std::uint32_t>(menu.size())),
              kErrorSuccess);
    platform.registry->RegCloseKey(key);
    fs::create_directory(tmp_.Native() / "Menu");

    Platform moved = std::move(platform);  // main hands the bundle on
    auto shell = moved.createScriptShell();
    const std::string startMenu = shell->SpecialFolder("StartMenu");
    EXPECT_EQ(startMenu, tmp_.Windows("Menu"));

    auto fso = moved.createFileSystem();
    fso->CreateFolder(startMenu + "\\Kestrow");
    auto shortcut = shell->CreateShortcut(startMenu + "\\Kestrow\\Data.lnk");
    shortcut->TargetPath = "explorer.exe";
    shortcut->Arguments = "/e,\"Z:\\data\"";
    shortcut->IconLocation = "explorer.exe,1";
    shortcut->Description = "Shortcut to the folder\r\nZ:\\data";
    shortcut->Save();
    EXPECT_TRUE(fso->FileExists(startMenu + "\\Kestrow\\Data.lnk"));
    EXPECT_EQ(ReadShellLinkFile(tmp_.Native() / "Menu/Kestrow/Data.lnk").link.arguments,
              "/e,\"Z:\\data\"");
    EXPECT_EQ(moved.files->Dir(startMenu + "\\Kestrow", 16), "Kestrow");
    EXPECT_TRUE(moved.isInsideFolder(startMenu + "\\Kestrow\\Data.lnk", startMenu));
    EXPECT_FALSE(moved.isInsideFolder(startMenu + "\\..\\Data.lnk", startMenu));
}

TEST_F(PosixPlatformTest, ProgramFolderIsTheTestBinarysFolderAsAZPath) {
    Platform platform = MakePosixPlatform({"", (tmp_.Native() / "registry.db").string(), {}});
    const std::string folder = platform.programFolder();
    EXPECT_EQ(PosixPathOf(folder), fs::canonical("/proc/self/exe").parent_path().string());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_FALSE(platform.ui->BackendLoaded());  // nothing shown, no GUI loaded
}

}  // namespace
}  // namespace platform::posix
