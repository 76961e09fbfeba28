// Start-up, main flow, names, the folder browser and the error routine.
#include "shortcut-maker/mod_main.h"

#include <gtest/gtest.h>

#include "platform/forms/message_box.h"
#include "platform/text/text.h"
#include "shortcut-maker/testing/maker_harness.h"

namespace shortcut_maker {
namespace {

using testing::MakerHarness;
using namespace platform::forms;

const std::string kUnexpected =
    "Unexpected error.\r\n\r\nTry installing the latest version of Windows Script.\r\n\r\n"
    "It can be downloaded for free from Microsoft.";

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

TEST(MainFlowTest, DirectModeTakesTheCommandLineUnchanged) {
    MakerHarness h;
    h.StoreDefaults(1, 0, 1, 1);
    h.SetMenuDelay("100");
    const std::string folder = h.Folder("Projects") + "\\\\";
    h.program->Main(folder);
    EXPECT_TRUE(h.program->DirectMode);
    EXPECT_EQ(h.program->FolderPath, folder);
    EXPECT_EQ(h.program->DefaultName, "Projects");
    EXPECT_TRUE(h.script.shownForms.empty()) << "no dialog in direct mode";
    EXPECT_FALSE(h.platform.ui->BackendLoaded()) << "nothing shown, so no window system loaded";
    EXPECT_TRUE(h.program->HelpViewer) << "Main makes the help viewer after the flow";
    EXPECT_EQ(h.program->ExitCode(), 0);
}

TEST(MainFlowTest, StartMenuPathGetsExactlyOneTrailingBackslash) {
    for (const std::string& stored : {std::string("Menu"), std::string("Menu\\")}) {
        SCOPED_TRACE(stored);
        MakerHarness h;
        const std::string startMenu = h.Folder("Menu");
        h.MoveStartMenu(startMenu + (stored == "Menu" ? "" : "\\"));
        h.script.browsedFolder = "";
        h.program->Main("");
        EXPECT_EQ(h.program->StartMenuPath, startMenu + "\\");
        EXPECT_EQ(h.program->SideMenuPath, startMenu + "\\Kestrow\\");
    }
}

TEST(MainFlowTest, CancelledOrFailedBrowserEndsQuietly) {
    for (bool browserFails : {false, true}) {
        MakerHarness h;
        if (!browserFails) h.script.browsedFolder = "";
        h.program->Main("");
        EXPECT_EQ(h.script.browserInstruction, "Select a folder you need a shortcut to");
        EXPECT_FALSE(h.program->DirectMode);
        EXPECT_TRUE(h.script.messages.empty());
        EXPECT_TRUE(h.platform.ui->LoadedForms().empty());
        EXPECT_FALSE(testing::fs::exists(h.SideMenu()));
        EXPECT_EQ(h.program->ExitCode(), 0);
    }
}

TEST(BrowseForFolderTest, TrimsOneTrailingBackslashButKeepsDriveRoots) {
    MakerHarness h;
    h.AnswerBrowser("Z:\\Data\\");
    EXPECT_EQ(h.program->BrowseForFolder(), "Z:\\Data");
    h.AnswerBrowser("Z:\\");
    EXPECT_EQ(h.program->BrowseForFolder(), "Z:\\");
#ifdef _WIN32
    // Only the native browser hands over a path as it is; the POSIX mapping
    // has already normalised it.
    h.AnswerBrowser("Z:\\Data\\\\");
    EXPECT_EQ(h.program->BrowseForFolder(), "Z:\\Data\\");
#endif
}

TEST(BrowseForFolderTest, PathBufferHoldsTwoHundredFiftyNineCharacters) {
    MakerHarness h;
    const std::string fits = "Z:\\" + Repeat("П", 256);  // 259 characters, 515 bytes
    h.AnswerBrowser(fits);
    EXPECT_EQ(h.program->BrowseForFolder(), fits);
    h.AnswerBrowser(fits + "x");
    EXPECT_EQ(h.program->BrowseForFolder(), "");
}

#ifndef _WIN32
TEST(BrowseForFolderTest, AChosenFolderNoWindowsPathCanNameIsToldNotDropped) {
    MakerHarness h;
    h.script.browsedFolder = "/srv/a\\b";
    h.program->Main("");
    ASSERT_EQ(h.script.messages.size(), 1u);
    EXPECT_EQ(h.script.messages[0].text,
              "The path \"/srv/a\\b\" holds a backslash in a name, which a Windows path cannot "
              "show.");
    EXPECT_TRUE(h.platform.ui->LoadedForms().empty());
    EXPECT_EQ(h.program->ExitCode(), 1);
}
#endif

TEST(DialogModeTest, ChosenFolderOpensTheOptionsDialog) {
    MakerHarness h;
    const std::string folder = h.Folder("Photos");
    h.AnswerBrowser(folder + "\\");
    h.program->Main("");
    EXPECT_EQ(h.program->FolderPath, folder);
    EXPECT_EQ(h.program->DefaultName, "Photos");
    EXPECT_EQ(h.LoadedForms(), std::vector<std::string>{"frmOptions"});
    EXPECT_TRUE(h.script.owners.empty()) << "modeless and without an owner";
}

TEST(ErrorRoutineTest, ClosesEveryFormThenShowsTheOneMessage) {
    MakerHarness h;
    h.AnswerBrowser(h.Folder("Photos"));
    h.program->Main("");
    ASSERT_EQ(h.LoadedForms().size(), 1u);
    h.program->HandleUnexpectedError();
    ASSERT_EQ(h.script.messages.size(), 1u);
    const platform::testing::ShownMessage& shown = h.script.messages[0];
    EXPECT_EQ(shown.text, kUnexpected);
    EXPECT_EQ(shown.style, kMbIconHand);
    EXPECT_EQ(shown.title, "Kestrow");
    EXPECT_TRUE(shown.loadedForms.empty()) << "the forms go before the message";
    EXPECT_EQ(h.program->ExitCode(), 1);
}

TEST(ErrorRoutineTest, MissingScriptShellFailsBeforeAnyBrowser) {
    MakerHarness h;
    h.platform.createScriptShell = []() -> std::unique_ptr<platform::WshShell> {
        throw platform::PlatformError("no script host");
    };
    h.AnswerBrowser(h.Folder("Photos"));
    h.program->Main("");
    EXPECT_TRUE(h.script.browserInstruction.empty());
    ASSERT_EQ(h.script.messages.size(), 1u);
    // The cause the platform gave follows the first line.
    EXPECT_EQ(h.script.messages[0].text,
              "Unexpected error.\r\n\r\nno script host" + kUnexpected.substr(17));
    EXPECT_EQ(h.program->ExitCode(), 1);
}

TEST(ErrorRoutineTest, GoesToStandardErrorWhenNoWindowCanBeShown) {
    MakerHarness h;
    h.platform.ui = std::make_unique<UserInterface>([] { return nullptr; });
    h.platform.createScriptShell = []() -> std::unique_ptr<platform::WshShell> {
        throw platform::PlatformError("no script host");
    };
    ::testing::internal::CaptureStderr();
    h.program->Main(h.Folder("Projects"));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Unexpected error."), std::string::npos) << err;
    EXPECT_EQ(h.program->ExitCode(), 1);
}

}  // namespace
}  // namespace shortcut_maker
