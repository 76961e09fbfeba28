// A settings store the user may read but not write, as a policy or a
// read-only file system leaves it (opened as SQLite opens such a file): the
// stored options are used, the rewrite every load makes is passed over, and
// a save the user asked for is refused with the key and the reason.
#include <gtest/gtest.h>

#include "platform/forms/message_box.h"
#include "platform/posix/posix_wsh_shell.h"
#include "shortcut-maker/frm_options.h"
#include "shortcut-maker/testing/maker_harness.h"

namespace shortcut_maker {
namespace {

using namespace testing;

class ReadOnlyStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h.StoreDefaults(1, 0, 1, 0);
        // A value stored as text: every load wants to rewrite it.
        h.SetString(MakerHarness::kSettingsKey, "AllFolders", "0");
        h.SetMenuDelay("100");
        h.platform.registry = platform::posix::OpenSqliteRegistry(
            h.StorePath(), platform::posix::StoreAccess::ReadOnly);
        h.platform.createScriptShell = [registry = h.platform.registry.get()] {
            return std::make_unique<platform::posix::PosixWshShell>(*registry);
        };
    }

    MakerHarness h;
};

TEST_F(ReadOnlyStoreTest, DirectModeWritesTheShortcutWithTheStoredOptions) {
    const std::string folder = h.Folder("Projects");
    h.program->Main(folder);
    EXPECT_TRUE(h.script.messages.empty());
    EXPECT_EQ(h.program->ExitCode(), 0);
    ExpectFolderShortcut(h.StartMenu() / "Projects.lnk", "/e,/root,\"" + folder + "\"", folder, 1);
    EXPECT_EQ(h.Raw(MakerHarness::kSettingsKey, "AllFolders")->type, platform::kRegSz)
        << "the store stays as it was";
}

TEST_F(ReadOnlyStoreTest, ARefusedDefaultKeepsTheDialogAndTheRunFails) {
    h.AnswerBrowser(h.Folder("Photos"));
    h.program->Main("");
    frmOptions& form = h.program->OptionsForm();
    ASSERT_TRUE(form.IsLoaded());
    EXPECT_TRUE(form.optSubfoldersOnly.Value());
    EXPECT_TRUE(form.optStartMenu.Value());

    form.optSideMenu.SetValue(true);
    form.cmdDefault.Click();
    h.ExpectOneMessage(
        "The settings could not be stored in the registry key "
        "HKEY_CURRENT_USER\\Software\\Tamsholt\\Kestrow 2005.\r\n\r\nThe settings "
        "store \"" +
            h.StorePath() + "\" cannot be changed: access is denied.",
        platform::forms::kMbOk | platform::forms::kMbIconExclamation);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(form.optSideMenu.Value()) << "the user's choice stays";

    form.cmdOK.Click();
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_TRUE(fs::is_regular_file(h.SideMenu() / "Photos.lnk"));
    EXPECT_EQ(h.program->ExitCode(), 1) << "the defaults the user asked for were not kept";
}

}  // namespace
}  // namespace shortcut_maker
