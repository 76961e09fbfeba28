// The options dialog: load, the OK road with its refusals, Reset, Default,
// Cancel, and focus after refusals and after the About box.
#include "shortcut-maker/frm_options.h"

#include <gtest/gtest.h>

#include "platform/forms/message_box.h"
#include "shortcut-maker/frm_about.h"
#include "shortcut-maker/mod_main.h"
#include "shortcut-maker/testing/maker_harness.h"

namespace shortcut_maker {
namespace {

using namespace testing;
namespace fs = std::filesystem;
using namespace platform::forms;

class OptionsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h.SetMenuDelay("100");
        folder = h.Folder("My Photos");
        h.AnswerBrowser(folder);
    }
    frmOptions& Open() {
        h.program->Main("");
        return h.program->OptionsForm();
    }
    void ExpectNameSelected(frmOptions& form) {
        EXPECT_TRUE(form.txtName.HasFocus());
        EXPECT_EQ(form.txtName.SelStart(), 0);
        EXPECT_EQ(form.txtName.SelectedText(), form.txtName.Text());
    }
    std::vector<std::string> FilesIn(const fs::path& dir) {
        std::vector<std::string> names;
        if (!fs::exists(dir)) return names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    MakerHarness h;
    std::string folder;
};

TEST_F(OptionsDialogTest, LoadShowsNamePathAndStoredDefaultsWithTheNameSelected) {
    h.StoreDefaults(1, 1, 0, 1);
    frmOptions& form = Open();
    EXPECT_EQ(form.txtName.Text(), "My Photos");
    EXPECT_EQ(form.lblPathInfo.Caption(),
              "Kestrow will create a shortcut to the folder\r\n\r\n" + folder);
    EXPECT_TRUE(form.optAllFolders.Value());
    EXPECT_TRUE(form.optSideMenu.Value());
    EXPECT_TRUE(form.optFolderWindow.Value());
    EXPECT_FALSE(form.optTwoPane.Value());
    EXPECT_TRUE(form.optMaximized.Value());
    ExpectNameSelected(form);
}

TEST_F(OptionsDialogTest, OkWritesTheShownOptionsAndNeverTheDefaults) {
    h.StoreDefaults(1, 1, 1, 1);
    frmOptions& form = Open();
    form.optSubfoldersOnly.SetValue(true);
    form.optStartMenu.SetValue(true);
    form.optFolderWindow.SetValue(true);
    form.optNormal.SetValue(true);
    form.cmdOK.Click();
    ExpectFolderShortcut(h.StartMenu() / "My Photos.lnk", "/n,/root,\"" + folder + "\"", folder, 1);
    EXPECT_TRUE(h.LoadedForms().empty());
    const auto sideMenu = h.Raw(MakerHarness::kSettingsKey, "SideMenu");
    ASSERT_TRUE(sideMenu);
    EXPECT_EQ(sideMenu->data, platform::testing::Dword(1)) << "OK stores no defaults";
    EXPECT_EQ(h.program->ExitCode(), 0);
    EXPECT_FALSE(h.program->ScriptShell) << "released when the dialog unloaded";
    EXPECT_FALSE(h.program->FileSystem);
}

TEST_F(OptionsDialogTest, NameOfSpacesOnlyIsRefused) {
    frmOptions& form = Open();
    form.txtName.SetText("   ");
    form.cmdOK.Click();
    h.ExpectOneMessage("You did not enter a name", kMbIconExclamation);
    EXPECT_TRUE(form.IsLoaded());
    ExpectNameSelected(form);
    EXPECT_TRUE(FilesIn(h.SideMenu()).empty());
}

TEST_F(OptionsDialogTest, NameIsTrimmedOfSpacesOnlyWhileTheBoxKeepsThem) {
    frmOptions& form = Open();
    form.txtName.SetText("  My Data  ");
    form.cmdOK.Click();
    EXPECT_EQ(form.txtName.Text(), "  My Data  ");
    EXPECT_EQ(h.program->ShortcutName, "My Data");
    EXPECT_EQ(FilesIn(h.SideMenu()), (std::vector<std::string>{"Kestrow.lnk", "My Data.lnk"}));
}

TEST_F(OptionsDialogTest, ForbiddenCharactersGiveOneMessageAndWriteNothing) {
    frmOptions& form = Open();
    for (const std::string& name : {std::string("a/b"), std::string("say \"hi\" | *"),
                                    std::string("..\\..\\x"), std::string("C:")}) {
        SCOPED_TRACE(name);
        h.script.messages.clear();
        form.txtName.SetText(name);
        form.txtName.SetSelection(1, 0);
        form.cmdOK.Click();
        ASSERT_EQ(h.script.messages.size(), 1u);
        EXPECT_EQ(h.script.messages[0].text, "You cannot use the characters \\/:*?\"<>|");
        EXPECT_EQ(h.script.messages[0].style, kMbIconExclamation);
        ExpectNameSelected(form);
    }
    EXPECT_FALSE(fs::exists(h.SideMenu())) << "refused before the side menu is made";
    EXPECT_TRUE(FilesIn(h.StartMenu()).empty());
}

TEST_F(OptionsDialogTest, MissingSideMenuIsMadeAndGetsItsOwnShortcut) {
    frmOptions& form = Open();
    ASSERT_FALSE(fs::exists(h.SideMenu()));
    form.cmdOK.Click();
    EXPECT_EQ(FilesIn(h.SideMenu()), (std::vector<std::string>{"Kestrow.lnk", "My Photos.lnk"}));
    EXPECT_FALSE(form.IsLoaded());
}

TEST_F(OptionsDialogTest, ReplaceAnsweredNoKeepsTheOldFileAndTheDialog) {
    fs::create_directories(h.SideMenu());
    { std::ofstream(h.SideMenu() / "My Photos.lnk") << "old"; }
    frmOptions& form = Open();
    h.script.answers.push_back(kIdNo);
    form.cmdOK.Click();
    ASSERT_EQ(h.script.messages.size(), 1u);
    EXPECT_EQ(h.script.messages[0].text,
              "A shortcut called My Photos already exists. Do you want to replace it?");
    EXPECT_EQ(h.script.messages[0].style, kMbYesNo | kMbIconQuestion);
    EXPECT_EQ(ReadBytes(h.SideMenu() / "My Photos.lnk"),
              std::vector<std::uint8_t>({'o', 'l', 'd'}));
    EXPECT_TRUE(form.IsLoaded());
    ExpectNameSelected(form);
}

TEST_F(OptionsDialogTest, ReplaceAnsweredYesWritesOnceAndCloses) {
    fs::create_directories(h.SideMenu());
    { std::ofstream(h.SideMenu() / "My Photos.lnk") << "old"; }
    h.StoreDefaults(1, 1, 1, 0);
    frmOptions& form = Open();
    h.script.answers.push_back(kIdYes);
    form.cmdOK.Click();
    ExpectFolderShortcut(h.SideMenu() / "My Photos.lnk", "/e,\"" + folder + "\"", folder, 1);
    EXPECT_FALSE(form.IsLoaded());
}

// A message box without an owner leaves the dialog's close box usable.
class ClosesDialogOnReplaceQuestion : public platform::testing::ScriptedBackend {
  public:
    ClosesDialogOnReplaceQuestion(Script& script, UserInterface& ui, Form& dialog)
        : ScriptedBackend(script, &ui), ui_(ui), dialog_(dialog) {}
    int MessageBox(const std::string& text, unsigned style, const std::string& title) override {
        if (text.find("already exists") != std::string::npos) ui_.Unload(dialog_);
        return ScriptedBackend::MessageBox(text, style, title);
    }

  private:
    UserInterface& ui_;
    Form& dialog_;
};

TEST_F(OptionsDialogTest, DialogClosedWhileTheReplaceQuestionIsOpenStillReplacesSafely) {
    fs::create_directories(h.SideMenu());
    { std::ofstream(h.SideMenu() / "My Photos.lnk") << "old"; }
    h.StoreDefaults(1, 1, 1, 0);
    h.backend = [this] {
        return std::make_unique<ClosesDialogOnReplaceQuestion>(h.script, *h.platform.ui,
                                                               h.program->OptionsForm());
    };
    frmOptions& form = Open();
    h.script.answers.push_back(kIdYes);
    form.cmdOK.Click();
    ASSERT_EQ(h.script.messages.size(), 1u);
    ExpectFolderShortcut(h.SideMenu() / "My Photos.lnk", "/e,\"" + folder + "\"", folder, 1);
    EXPECT_TRUE(h.LoadedForms().empty());
    EXPECT_EQ(h.program->ExitCode(), 0);
}

TEST_F(OptionsDialogTest, ResetShowsStoredValuesAndDefaultStoresShownOnes) {
    h.StoreDefaults(0, 1, 0, 1);
    frmOptions& form = Open();
    form.optAllFolders.SetValue(true);
    form.optStartMenu.SetValue(true);
    form.txtName.SetText("Typed");
    form.cmdReset.Click();
    EXPECT_TRUE(form.optSubfoldersOnly.Value()) << "stored, not design-time";
    EXPECT_TRUE(form.optSideMenu.Value());
    EXPECT_EQ(form.txtName.Text(), "Typed");

    form.optNormal.SetValue(true);
    form.optTwoPane.SetValue(true);
    form.cmdDefault.Click();
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(h.script.messages.empty());
    EXPECT_EQ(h.Raw(MakerHarness::kSettingsKey, "AllFolders")->data, platform::testing::Dword(0));
    EXPECT_EQ(h.Raw(MakerHarness::kSettingsKey, "TwoPane")->data, platform::testing::Dword(1));
    EXPECT_EQ(h.Raw(MakerHarness::kSettingsKey, "Maximized")->data, platform::testing::Dword(0));
    EXPECT_EQ(h.program->lngMaximized, 0);
    EXPECT_EQ(h.program->lngTwoPane, 1);
}

TEST_F(OptionsDialogTest, CancelAndTheCloseBoxMakeNothing) {
    frmOptions& form = Open();
    form.cmdCancel.Click();
    EXPECT_TRUE(h.LoadedForms().empty());
    EXPECT_FALSE(fs::exists(h.SideMenu()));

    MakerHarness other;
    other.AnswerBrowser(other.Folder("X"));
    other.program->Main("");
    other.platform.ui->Unload(other.program->OptionsForm());
    EXPECT_TRUE(other.LoadedForms().empty());
    EXPECT_FALSE(fs::exists(other.SideMenu()));
    EXPECT_EQ(other.program->ExitCode(), 0);
}

TEST_F(OptionsDialogTest, AdvisorOutlivesTheDialog) {
    h.SetMenuDelay("400");
    frmOptions& form = Open();
    form.cmdOK.Click();
    EXPECT_EQ(h.LoadedForms(), std::vector<std::string>{"frmStartMenuSetting"});
}

TEST_F(OptionsDialogTest, FailedSideMenuCreationGoesToTheErrorRoutine) {
    fs::create_directories(h.StartMenu());
    { std::ofstream(h.SideMenu()) << "a file where the side menu should be"; }
    frmOptions& form = Open();
    form.cmdOK.Click();
    ASSERT_EQ(h.script.messages.size(), 1u);
    EXPECT_EQ(h.script.messages[0].text.rfind("Unexpected error.", 0), 0u);
    EXPECT_TRUE(h.LoadedForms().empty());
    EXPECT_EQ(h.program->ExitCode(), 1);
}

TEST_F(OptionsDialogTest, AboutBoxIsModalOverTheDialogAndGivesTheNameBack) {
    frmOptions& form = Open();
    bool aboutWasOpen = false;
    h.script.whileModal = [&](Form& shown) {
        aboutWasOpen = shown.Name() == "frmAbout";
        form.txtName.SetSelection(2, 0);
        form.cmdOK.SetFocus();
        h.program->AboutForm().cmdOK.Click();
    };
    form.cmdAbout.Click();
    EXPECT_TRUE(aboutWasOpen);
    EXPECT_EQ(h.script.owners["frmAbout"], "frmOptions");
    EXPECT_FALSE(h.program->AboutForm().IsLoaded());
    ExpectNameSelected(form);
}

}  // namespace
}  // namespace shortcut_maker
