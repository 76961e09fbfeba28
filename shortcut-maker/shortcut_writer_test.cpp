// Composing the Explorer arguments and writing shortcuts in direct mode,
// checked on disk and through lnkinfo.
#include <gtest/gtest.h>

#include <utility>

#include "platform/forms/message_box.h"
#include "shortcut-maker/mod_main.h"
#include "shortcut-maker/testing/maker_harness.h"

namespace shortcut_maker {
namespace {

using namespace testing;
namespace fs = std::filesystem;
using namespace platform::forms;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

class DirectModeTest : public ::testing::Test {
  protected:
    void SetUp() override { h.SetMenuDelay("100"); }
    MakerHarness h;
};

TEST_F(DirectModeTest, FirstShortcutMakesTheSideMenuAndItsOwnShortcut) {
    const std::string folder = h.Folder("Projects");
    h.program->Main(folder);
    ASSERT_EQ(h.program->ExitCode(), 0)
        << (h.script.messages.empty() ? "" : h.script.messages[0].text);
    const std::string sideMenu = h.program->SideMenuPath;
    ExpectFolderShortcut(h.SideMenu() / "Projects.lnk", "/e," + Quoted(folder), folder, 3);
    ExpectFolderShortcut(h.SideMenu() / "Kestrow.lnk", "/e," + Quoted(sideMenu), sideMenu, 3);
#ifndef _WIN32  // Wine's link object saves no id
    EXPECT_NE(platform::posix::ReadShellLinkFile(h.SideMenu() / "Projects.lnk").link.appUserModelId,
              platform::posix::ReadShellLinkFile(h.SideMenu() / "Kestrow.lnk").link.appUserModelId);
#endif
    EXPECT_TRUE(h.script.messages.empty());
    // The defaults were written back on load.
    const auto stored = h.Raw(MakerHarness::kSettingsKey, "SideMenu");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, platform::kRegDword);
}

TEST_F(DirectModeTest, StoredDefaultsChooseSwitchesWindowStyleAndLocation) {
    h.StoreDefaults(0, 0, 0, 0);
    const std::string folder = h.Folder("Данные 写真");
    h.program->Main(folder);
    const fs::path file = h.StartMenu() / Utf8Path("Данные 写真.lnk");
    ExpectFolderShortcut(file, "/n,/root," + Quoted(folder), folder, 1);
    EXPECT_FALSE(fs::exists(h.SideMenu())) << "no side menu is made for the Start Menu";
    EXPECT_FALSE(fs::exists(h.StartMenu() / "Kestrow.lnk"));
}

TEST_F(DirectModeTest, StartMenuShortcutStillAddsAMissingOwnShortcut) {
    h.StoreDefaults(1, 0, 0, 1);
    fs::create_directories(h.SideMenu());
    h.program->Main(h.Folder("Music"));
    EXPECT_TRUE(fs::exists(h.StartMenu() / "Music.lnk"));
    const std::string sideMenu = h.program->SideMenuPath;
    ExpectFolderShortcut(h.SideMenu() / "Kestrow.lnk", "/n," + Quoted(sideMenu), sideMenu, 3);
}

TEST_F(DirectModeTest, OwnShortcutIsNeverRewritten) {
    h.program->Main(h.Folder("One"));
    const auto before = ReadBytes(h.SideMenu() / "Kestrow.lnk");
    ASSERT_FALSE(before.empty());

    h.StoreDefaults(0, 1, 0, 0);
    auto second = std::make_unique<modMain>(h.platform);
    second->Main(h.Folder("Two"));
    EXPECT_TRUE(fs::exists(h.SideMenu() / "Two.lnk"));
    EXPECT_EQ(ReadBytes(h.SideMenu() / "Kestrow.lnk"), before);
}

// POSIX only: there names differ in letter case; Windows' are one name.
#ifndef _WIN32
TEST_F(DirectModeTest, SideMenuFolderInOtherLetterCaseCountsAsMissing) {
    h.StoreDefaults(1, 0, 1, 1);
    fs::create_directories(h.StartMenu() / "kestrow");
    h.program->Main(h.Folder("Docs"));
    EXPECT_TRUE(fs::exists(h.StartMenu() / "Docs.lnk"));
    EXPECT_FALSE(fs::exists(h.StartMenu() / "kestrow" / "Kestrow.lnk"));
    EXPECT_EQ(h.program->ExitCode(), 0);
}
#endif

TEST_F(DirectModeTest, ReplaceAnsweredNoChangesNothingAndSkipsTheAdvisor) {
    h.SetMenuDelay("400");
    fs::create_directories(h.SideMenu());
    const fs::path old = h.SideMenu() / "Projects.lnk";
    { std::ofstream(old) << "old shortcut"; }
    h.script.answers.push_back(kIdNo);
    h.program->Main(h.Folder("Projects"));
    ASSERT_EQ(h.script.messages.size(), 1u);
    EXPECT_EQ(h.script.messages[0].text,
              "A shortcut called Projects already exists. Do you want to replace it?");
    EXPECT_EQ(h.script.messages[0].style, kMbYesNo | kMbIconQuestion);
    EXPECT_EQ(h.script.messages[0].title, "Kestrow");
    std::ifstream in(old);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "old shortcut");
    EXPECT_FALSE(fs::exists(h.SideMenu() / "Kestrow.lnk"));
    EXPECT_TRUE(h.LoadedForms().empty()) << "no advisor";
    EXPECT_FALSE(h.Raw(MakerHarness::kSettingsKey, "CheckStartMenuDelay"));
    EXPECT_EQ(h.program->ExitCode(), 0);
}

TEST_F(DirectModeTest, ReplaceAnsweredYesWritesTheNewShortcut) {
    fs::create_directories(h.SideMenu());
    { std::ofstream(h.SideMenu() / "Projects.lnk") << "old shortcut"; }
    h.script.answers.push_back(kIdYes);
    const std::string folder = h.Folder("Projects");
    h.program->Main(folder);
    ExpectFolderShortcut(h.SideMenu() / "Projects.lnk", "/e," + Quoted(folder), folder, 3);
}

TEST_F(DirectModeTest, FailedWriteLeavesNoHalfShortcutAndFailsTheRun) {
    h.StoreDefaults(1, 0, 1, 1);
    // A folder where the file should go: the final rename cannot succeed.
    fs::create_directories(h.StartMenu() / "Blocked.lnk");
    h.program->Main(h.Folder("Blocked"));
    ASSERT_EQ(h.script.messages.size(), 1u);
    EXPECT_EQ(h.script.messages[0].text.rfind("Unexpected error.", 0), 0u);
    EXPECT_EQ(h.program->ExitCode(), 1);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(h.StartMenu())) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"Blocked.lnk"}) << "no temporary file stays";
    EXPECT_TRUE(fs::is_directory(h.StartMenu() / "Blocked.lnk"));
}

// No command line may make the program write outside the Start Menu tree.
TEST_F(DirectModeTest, PathsThatClimbOutLandInsideTheStartMenu) {
    for (const std::string& folder :
         {std::string("/tmp/../../etc"), std::string("Z:\\tmp\\..\\..\\..\\etc"),
          std::string("/tmp/a\\..\\..\\..\\..\\etc")}) {
        SCOPED_TRACE(folder);
        MakerHarness fresh;
        fresh.SetMenuDelay("100");
        fresh.program->Main(folder);
        EXPECT_EQ(fresh.program->DefaultName, "etc");
        EXPECT_TRUE(fs::exists(fresh.SideMenu() / "etc.lnk"));
        EXPECT_FALSE(fs::exists(fresh.StartMenu().parent_path() / "etc.lnk"));
        EXPECT_FALSE(fs::exists("/etc.lnk"));
    }
}

TEST_F(DirectModeTest, NamesThatCannotStayInsideAreRefusedWithNothingWritten) {
    for (const std::string& folder : {std::string("/"), std::string("\\\\\\\\")}) {
        SCOPED_TRACE(folder);
        MakerHarness fresh;
        fresh.program->Main(folder);
        ASSERT_EQ(fresh.script.messages.size(), 1u);
        EXPECT_NE(fresh.script.messages[0].text.find("inside the Start Menu"), std::string::npos);
        EXPECT_EQ(fresh.script.messages[0].style, kMbIconExclamation);
        EXPECT_EQ(fresh.program->ExitCode(), 1);
        EXPECT_FALSE(fs::exists(fresh.SideMenu()));
        EXPECT_TRUE(fs::is_empty(fresh.StartMenu()));
    }
}

TEST_F(DirectModeTest, UnreadableSettingsStopTheWriteAfterTheOneMessage) {
    // The shell keeps the store it was made with.
    auto kept = std::exchange(h.platform.registry,
                              std::make_unique<platform::testing::UnreachableRegistry>());
    h.program->Main(h.Folder("Projects"));
    ASSERT_EQ(h.script.messages.size(), 1u);
    EXPECT_EQ(h.script.messages[0].text.rfind("Unexpected error.", 0), 0u);
    EXPECT_FALSE(fs::exists(h.SideMenu()));
    EXPECT_TRUE(!fs::exists(h.StartMenu()) || fs::is_empty(h.StartMenu()));
    EXPECT_EQ(h.program->ExitCode(), 1);
}

// POSIX only: the C++ library makes no symbolic links on Windows.
#ifndef _WIN32
TEST_F(DirectModeTest, SideMenuLinkedOutsideTheStartMenuIsRefused) {
    const fs::path outside = fs::path(h.Root()) / "outside";
    fs::create_directories(outside);
    fs::create_directories(h.StartMenu());
    fs::create_directory_symlink(outside, h.SideMenu());
    h.program->Main(h.Folder("Projects"));
    ASSERT_EQ(h.script.messages.size(), 1u);
    // The folder is what leads elsewhere, not the shortcut's name.
    EXPECT_NE(
        h.script.messages[0].text.find("The side menu folder \"" + WindowsPathOf(h.SideMenu()) +
                                       "\\\" leads outside the Start Menu"),
        std::string::npos)
        << h.script.messages[0].text;
    EXPECT_EQ(h.script.messages[0].text.find("name"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_EQ(h.program->ExitCode(), 1);
}
#endif

TEST_F(DirectModeTest, WriterRefusesAShortcutPathOutsideTheStartMenu) {
    h.program->Main(h.Folder("Projects"));
    fs::remove_all(h.SideMenu());
    h.script.messages.clear();
    h.program->ShortcutName = "..\\..\\..\\escaped";
    h.program->ShortcutPath = h.program->SideMenuPath + h.program->ShortcutName + ".lnk";
    h.program->CreateFolderShortcut();
    ASSERT_EQ(h.script.messages.size(), 1u);
    EXPECT_EQ(h.script.messages[0].text.rfind("Unexpected error.", 0), 0u);
    EXPECT_FALSE(fs::exists(h.StartMenu().parent_path().parent_path() / "escaped.lnk"));
    EXPECT_FALSE(
        fs::exists(h.StartMenu().parent_path().parent_path().parent_path() / "escaped.lnk"));
}

TEST_F(DirectModeTest, PathTestsAnswerFalseForWhatIsNotThere) {
    h.program->Main(h.Folder("Projects"));
    modMain& m = *h.program;
    EXPECT_TRUE(m.IsExistingFolder(m.SideMenuPath));
    EXPECT_TRUE(m.IsExistingFile(m.SideMenuPath + "Projects.lnk"));
#ifndef _WIN32
    EXPECT_FALSE(m.IsExistingFile(m.SideMenuPath + "projects.lnk")) << "exact letter case";
#endif
    EXPECT_FALSE(m.IsExistingFolder(m.SideMenuPath + "Projects.lnk")) << "a file is no folder";
    EXPECT_FALSE(m.IsExistingFile(m.SideMenuPath + "Missing.lnk"));
    EXPECT_FALSE(m.IsExistingFolder("Q:\\Nowhere"));
    EXPECT_TRUE(m.IsExistingFolder("Z:\\"));
    EXPECT_FALSE(m.IsExistingFolder("Q:\\"));
}

}  // namespace
}  // namespace shortcut_maker
