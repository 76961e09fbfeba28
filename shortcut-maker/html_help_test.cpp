// The Help button and the help viewer's life with the options dialog.
#include "shortcut-maker/html_help.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/forms/message_box.h"
#include "shortcut-maker/frm_options.h"
#include "shortcut-maker/mod_main.h"
#include "shortcut-maker/testing/maker_harness.h"

namespace shortcut_maker {
namespace {

using testing::MakerHarness;
namespace fs = std::filesystem;

class HelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h.AnswerBrowser(h.Folder("Photos"));
        h.program->Main("");
    }
    void PutHelpFile() { std::ofstream(fs::path(h.Root()) / "bin" / "kestrow.chm") << "chm"; }
    MakerHarness h;
};

TEST_F(HelpTest, HelpShowsTheTopicFromTheFileBesideTheProgramEachClick) {
    PutHelpFile();
    frmOptions& form = h.program->OptionsForm();
    form.cmdHelp.Click();
    form.cmdHelp.Click();
    const auto& calls = h.htmlHelp->calls;
    ASSERT_EQ(calls.size(), 2u);
    for (const auto& call : calls) {
        EXPECT_EQ(call.command, platform::kHhDisplayTopic);
        EXPECT_EQ(call.file, h.platform.programFolder() + "\\kestrow.chm");
        EXPECT_EQ(call.data, "kestrow.htm");
    }
    EXPECT_EQ(h.htmlHelp->openWindows, 2);
    EXPECT_TRUE(h.script.messages.empty());
    EXPECT_EQ(h.program->HelpViewer->TopicURL(), "kestrow.htm");
}

TEST_F(HelpTest, MissingHelpFileBringsNoMessageOfOurOwn) {
    h.program->OptionsForm().cmdHelp.Click();
    EXPECT_EQ(h.htmlHelp->calls.size(), 1u);
    EXPECT_EQ(h.htmlHelp->openWindows, 0);
    EXPECT_TRUE(h.script.messages.empty());
}

TEST_F(HelpTest, UnreachableViewerIsToldAndLeavesTheDialogAsItWas) {
    frmOptions& form = h.program->OptionsForm();
    form.txtName.SetText("Typed");
    form.optStartMenu.SetValue(true);
    h.htmlHelp->unreachable = true;
    form.cmdHelp.Click();
    h.ExpectOneMessage("Problem with HTML Help.", platform::forms::kMbIconExclamation);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(form.txtName.Text(), "Typed");
    EXPECT_TRUE(form.optStartMenu.Value());
    // The dialog still closes cleanly without the viewer.
    form.cmdCancel.Click();
    EXPECT_TRUE(h.LoadedForms().empty());
    EXPECT_EQ(h.program->ExitCode(), 0);
}

TEST_F(HelpTest, ClosingTheDialogClosesHelpWindowsAndReleasesTheViewer) {
    PutHelpFile();
    h.program->OptionsForm().cmdHelp.Click();
    ASSERT_EQ(h.htmlHelp->openWindows, 1);
    h.platform.ui->Unload(h.program->OptionsForm());
    EXPECT_EQ(h.htmlHelp->openWindows, 0);
    ASSERT_EQ(h.htmlHelp->calls.size(), 2u);
    EXPECT_EQ(h.htmlHelp->calls[1].command, platform::kHhCloseAll);
    EXPECT_EQ(h.htmlHelp->calls[1].file, "");
    EXPECT_FALSE(h.program->HelpViewer);
}

// Makes the store unreachable once the folder is chosen.
class LosesTheStoreOnBrowsing : public platform::testing::ScriptedBackend {
  public:
    explicit LosesTheStoreOnBrowsing(MakerHarness& h)
        : ScriptedBackend(h.script, h.platform.ui.get()), h_(h) {}
    std::string BrowseForFolder(const std::string& instruction) override {
        kept_ = std::exchange(h_.platform.registry,
                              std::make_unique<platform::testing::UnreachableRegistry>());
        return ScriptedBackend::BrowseForFolder(instruction);
    }

  private:
    MakerHarness& h_;
    std::unique_ptr<platform::Registry> kept_;
};

TEST(HelpViewerLifeTest, DialogUnloadedBeforeTheViewerExistsIsQuiet) {
    MakerHarness h;
    // A failure while the dialog loads closes it before Main makes the viewer.
    h.backend = [&] { return std::make_unique<LosesTheStoreOnBrowsing>(h); };
    h.AnswerBrowser(h.Folder("Photos"));
    h.program->Main("");
    ASSERT_EQ(h.script.messages.size(), 1u);
    EXPECT_EQ(h.script.messages[0].text.rfind("Unexpected error.", 0), 0u);
    EXPECT_TRUE(h.htmlHelp->calls.empty());
    EXPECT_TRUE(h.LoadedForms().empty());
    EXPECT_EQ(h.program->ExitCode(), 1);
}

}  // namespace
}  // namespace shortcut_maker
