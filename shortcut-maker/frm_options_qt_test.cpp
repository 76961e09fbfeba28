// The dialog road through the real Qt windows (offscreen).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/forms/message_box.h"
#include "platform/posix/chm_help.h"
#include "platform/qt/qt_window_driver.h"
#include "platform/testing/answered_folder_browser.h"
#include "shortcut-maker/frm_about.h"
#include "shortcut-maker/frm_options.h"
#include "shortcut-maker/frm_start_menu_setting.h"
#include "shortcut-maker/mod_main.h"
#include "shortcut-maker/testing/maker_harness.h"

namespace shortcut_maker {
namespace {

namespace qtt = platform::qt::testing;
namespace fs = std::filesystem;
using testing::MakerHarness;

// Clicks an option where a user aims: on its round indicator.
void ClickOption(qtt::WindowWidget option) { ASSERT_TRUE(option.ClickIndicator()) << "no option"; }

class OptionsDialogQtTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtt::EnsureApplication(); }
    OptionsDialogQtTest() {
        h.backend = [this] {
            return std::make_unique<platform::testing::AnsweredFolderBrowser>(
                qtt::QtBackendFactory()(), MakerHarness::NativePath(chosen));
        };
        h.SetMenuDelay("100");
    }
    ~OptionsDialogQtTest() override {
        h.program.reset();
        qtt::ProcessEvents();
    }

    MakerHarness h;
    std::string chosen;
};

TEST_F(OptionsDialogQtTest, ChosenFolderNamedTypedAndReplacedThroughTheWindows) {
    chosen = h.Folder("Trips 2026");
    h.StoreDefaults(1, 1, 1, 1);
    fs::create_directories(h.SideMenu());
    { std::ofstream(h.SideMenu() / "Holiday.lnk") << "old"; }

    h.program->Main("");
    auto name = qtt::ControlOf("frmOptions", "txtName");
    ASSERT_TRUE(name.IsEdit());
    EXPECT_EQ(name.Text(), "Trips 2026");
    name.SelectAll();
    name.Type("Holiday");
    ClickOption(qtt::ControlOf("frmOptions", "optSubfoldersOnly"));
    ClickOption(qtt::ControlOf("frmOptions", "optFolderWindow"));
    ClickOption(qtt::ControlOf("frmOptions", "optNormal"));

    auto box = qtt::AnswerNextBox(platform::forms::kIdYes);
    qtt::ControlOf("frmOptions", "cmdOK").Click();
    qtt::ProcessEvents();

    ASSERT_TRUE(box.Shown());
    EXPECT_EQ(box.Text(), "A shortcut called Holiday already exists. Do you want to replace it?");
    EXPECT_EQ(box.Title(), "Kestrow");
    EXPECT_EQ(box.IconStyle(), platform::forms::kMbIconQuestion);
    EXPECT_EQ(box.DefaultButton(), platform::forms::kIdYes);
    testing::ExpectFolderShortcut(h.SideMenu() / "Holiday.lnk", "/n,/root,\"" + chosen + "\"",
                                  chosen, 1);
    EXPECT_FALSE(qtt::WindowOf("frmOptions").Exists()) << "OK closes the dialog";
    EXPECT_TRUE(h.LoadedForms().empty());
    // OK stored nothing: the defaults are as they were.
    EXPECT_EQ(h.Raw(MakerHarness::kSettingsKey, "AllFolders")->data, platform::testing::Dword(1));
}

TEST_F(OptionsDialogQtTest, RefusedNameIsToldAndSelectedForRetyping) {
    chosen = h.Folder("Trips");
    h.program->Main("");
    auto name = qtt::ControlOf("frmOptions", "txtName");
    ASSERT_TRUE(name.IsEdit());
    name.SelectAll();
    name.Type("a/b");
    auto box = qtt::AnswerNextBox(platform::forms::kIdOk);
    qtt::ControlOf("frmOptions", "cmdOK").Click();
    qtt::ProcessEvents();
    ASSERT_TRUE(box.Shown());
    EXPECT_EQ(box.Text(), "You cannot use the characters \\/:*?\"<>|");
    EXPECT_EQ(box.IconStyle(), platform::forms::kMbIconExclamation);
    EXPECT_EQ(name.SelectedText(), "a/b");
    EXPECT_FALSE(fs::exists(h.SideMenu()));
}

TEST_F(OptionsDialogQtTest, ALongFolderPathWithoutSpacesIsShownWhole) {
    chosen = "Z:\\";
    while (chosen.size() < 200) chosen += "Projektordner" + std::to_string(chosen.size() % 7);
    chosen.resize(200);
    h.program->Main("");
    const auto label = qtt::ControlOf("frmOptions", "lblPathInfo");
    ASSERT_TRUE(label.Exists());
    const std::vector<std::string> lines = label.WrappedLines();
    ASSERT_GE(lines.size(), 4u);
    std::string path;
    for (std::size_t i = 2; i < lines.size(); ++i) path += lines[i];
    EXPECT_EQ(path, chosen);
    EXPECT_TRUE(label.WrappedLinesFit()) << "every line fits, the last one too";
}

// The Help button on the real viewer: the help file built with the programs.
TEST_F(OptionsDialogQtTest, HelpOpensTheHelpFileWithItsContentsOrTellsItIsMissing) {
    h.platform.htmlHelp = std::make_unique<platform::posix::ChmHelp>(*h.platform.ui);
    chosen = h.Folder("Trips");
    h.program->Main("");

    auto missing = qtt::AnswerNextBox(platform::forms::kIdOk);
    qtt::ControlOf("frmOptions", "cmdHelp").Click();
    ASSERT_TRUE(missing.Shown());
    EXPECT_EQ(missing.Text(), "Cannot open the file kestrow.chm.");
    EXPECT_FALSE(qtt::WindowOf("helpWindow").Exists());
    EXPECT_TRUE(qtt::WindowOf("frmOptions").Exists());

    const char* binDir = std::getenv("KESTROW_BIN_DIR");
    const fs::path built =
        fs::path(binDir ? binDir : KESTROW_BUILD_DIR_DEFAULT "/bin") / "kestrow.chm";
    if (!fs::exists(built)) GTEST_SKIP() << "the help file was not built (no chmcmd)";
    fs::copy_file(built, fs::path(h.Root()) / "bin" / "kestrow.chm");
    qtt::ControlOf("frmOptions", "cmdHelp").Click();
    const auto window = qtt::WindowOf("helpWindow");
    ASSERT_TRUE(window.Exists());
    EXPECT_EQ(window.Text(), "Kestrow 2005 Help");
    const auto contents = window.Child("helpContents");
    const auto index = window.Child("helpIndex");
    const auto browser = window.Child("helpBrowser");
    ASSERT_TRUE(contents.Exists() && index.Exists() && browser.Exists());
    EXPECT_EQ(contents.ItemText(0), "Welcome to Kestrow 2005");
    EXPECT_GE(contents.ItemCount(), 9);
    EXPECT_GE(index.ItemCount(), 20);
    EXPECT_NE(browser.Text().find("Kestrow makes shortcuts to folders"), std::string::npos);

    qtt::ControlOf("frmOptions", "cmdCancel").Click();
    qtt::ProcessEvents();
    EXPECT_FALSE(qtt::WindowOf("helpWindow").Exists()) << "help goes with the dialog";
}

}  // namespace
}  // namespace shortcut_maker
