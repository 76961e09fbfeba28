// The About box: its look, how it closes, and the links it hands to the shell.
#include "shortcut-maker/frm_about.h"

#include <gtest/gtest.h>

#include "platform/forms/message_box.h"
#include "shortcut-maker/frm_options.h"
#include "shortcut-maker/mod_main.h"
#include "shortcut-maker/testing/maker_harness.h"

namespace shortcut_maker {
namespace {

using testing::MakerHarness;
using namespace platform::forms;

class AboutBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h.AnswerBrowser(h.Folder("Photos"));
        h.program->Main("");
    }
    // Opens the About box from the options dialog and runs body while it is open.
    void WithAboutOpen(const std::function<void(frmAbout&)>& body) {
        h.script.whileModal = [&](Form&) { body(h.program->AboutForm()); };
        h.program->OptionsForm().cmdAbout.Click();
    }
    MakerHarness h;
};

TEST_F(AboutBoxTest, EscapeClosesItWhateverHasTheFocusAndNoOtherKeyDoes) {
    bool stayedOpen = true;
    bool closedByEscape = false;
    WithAboutOpen([&](frmAbout& about) {
        about.picInfo.SetFocus();
        for (int key : {13, 32, 65, 112, 9}) about.KeyDown(key, 0);
        stayedOpen = about.IsLoaded();
        about.cmdOK.SetFocus();
        about.KeyDown(27, 1);
        closedByEscape = !about.IsLoaded();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(closedByEscape);
    EXPECT_TRUE(h.script.messages.empty());
}

TEST_F(AboutBoxTest, LinksHandExactlyTheLabelTextsToTheShell) {
    bool stayedOpen = false;
    WithAboutOpen([&](frmAbout& about) {
        about.lblLink.Click();
        about.lblMailLink.Click();
        about.lblLink.SetCaption("http://other.example/page");
        about.lblMailLink.SetCaption("someone@other.example");
        about.lblLink.Click();
        about.lblMailLink.Click();
        stayedOpen = about.IsLoaded();
    });
    EXPECT_TRUE(stayedOpen);
    const auto& calls = h.shellExecutor->calls;
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].file, "http://tamsholt.example/");
    EXPECT_EQ(calls[1].file, "mailto:kestrow@tamsholt.example");
    EXPECT_EQ(calls[2].file, "http://other.example/page");
    EXPECT_EQ(calls[3].file, "mailto:someone@other.example");
    for (const auto& call : calls) {
        EXPECT_TRUE(call.operationIsNull);
        EXPECT_TRUE(call.parametersAreNull);
        EXPECT_EQ(call.directory, "C:\\");
        EXPECT_EQ(call.showCommand, 1);
    }
}

TEST_F(AboutBoxTest, ShellFailuresAreToldOnlyWhenTheCallCannotBeMade) {
    h.shellExecutor->answer = 2;  // the shell found no program: not looked at
    WithAboutOpen([&](frmAbout& about) {
        about.lblLink.Click();
        h.shellExecutor->unreachable = true;
        about.lblLink.Click();
        about.lblMailLink.Click();
        EXPECT_TRUE(about.IsLoaded());
    });
    ASSERT_EQ(h.script.messages.size(), 2u);
    EXPECT_EQ(h.script.messages[0].text, "Problem with browser.");
    EXPECT_EQ(h.script.messages[1].text, "Problem with mail client.");
    for (const auto& shown : h.script.messages) {
        EXPECT_EQ(shown.style, kMbIconExclamation);
        EXPECT_EQ(shown.title, "Kestrow");
    }
    EXPECT_EQ(h.program->ExitCode(), 0);
}

TEST(WarningWithoutWindowsTest, ProblemsThatCannotBeShownGoToStandardError) {
    MakerHarness h;
    h.platform.ui = std::make_unique<UserInterface>([] { return nullptr; });
    h.shellExecutor->unreachable = true;
    h.htmlHelp->unreachable = true;
    ::testing::internal::CaptureStderr();
    h.program->AboutForm().lblLink.Click();
    h.program->AboutForm().lblMailLink.Click();
    h.program->OptionsForm().cmdHelp.Click();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err,
              "Kestrow: Problem with browser.\nKestrow: Problem with mail client.\n"
              "Kestrow: Problem with HTML Help.\n");
    EXPECT_EQ(h.program->ExitCode(), 0) << "a link or help problem is no failure of the run";
}

}  // namespace
}  // namespace shortcut_maker
