// The dialog road through the real Qt windows (offscreen), and pictures of
// the three windows for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>

#include "forms/message_box.h"
#include "frm_about.h"
#include "frm_options.h"
#include "frm_start_menu_setting.h"
#include "mod_main.h"
#include "qt_test_support.h"
#include "testing/maker_harness.h"

namespace shortcut_maker {
namespace {

namespace qtt = platform::qt::testing;
namespace fs = std::filesystem;
using testing::MakerHarness;

// Clicks an option where a user aims: on its round indicator.
void ClickOption(QRadioButton* option) {
    ASSERT_NE(option, nullptr);
    QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, QPoint(6, option->height() / 2));
    QApplication::processEvents();
}

class OptionsDialogQtTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtt::EnsureApplication(); }
    OptionsDialogQtTest() {
        h.platform.ui = std::make_unique<platform::forms::UserInterface>(qtt::QtBackendFactory());
        h.platform.browseForFolder = [this](const std::string&) { return chosen; };
        h.SetMenuDelay("100");
    }
    ~OptionsDialogQtTest() override {
        h.program.reset();
        QApplication::processEvents();
    }
    static std::string ScreenshotPath(const std::string& file) {
        const char* buildDir = std::getenv("KESTROW_BUILD_DIR");
        return std::string(buildDir ? buildDir : KESTROW_BUILD_DIR_DEFAULT) + "/screenshots/" +
               file;
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
    auto* name = qtt::FindWidget<QLineEdit>("frmOptions", "txtName");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text().toStdString(), "Trips 2026");
    name->selectAll();
    qtt::TypeInto(name, "Holiday");
    ClickOption(qtt::FindWidget<QRadioButton>("frmOptions", "optSubfoldersOnly"));
    ClickOption(qtt::FindWidget<QRadioButton>("frmOptions", "optFolderWindow"));
    ClickOption(qtt::FindWidget<QRadioButton>("frmOptions", "optNormal"));

    auto box = qtt::AnswerNextMessageBox(platform::forms::kIdYes);
    qtt::Click(qtt::FindWidget<QPushButton>("frmOptions", "cmdOK"));
    QApplication::processEvents();

    ASSERT_TRUE(box->shown);
    EXPECT_EQ(box->text, "A shortcut called Holiday already exists. Do you want to replace it?");
    EXPECT_EQ(box->title, "Kestrow");
    EXPECT_EQ(box->icon, QMessageBox::Question);
    EXPECT_EQ(box->defaultButton, platform::forms::kIdYes);
    testing::ExpectFolderShortcut(h.SideMenu() / "Holiday.lnk", "/n,/root,\"" + chosen + "\"",
                                        chosen, 1);
    EXPECT_EQ(qtt::FindWindow("frmOptions"), nullptr) << "OK closes the dialog";
    EXPECT_TRUE(h.LoadedForms().empty());
    // OK stored nothing: the defaults are as they were.
    EXPECT_EQ(h.Raw(MakerHarness::kSettingsKey, "AllFolders")->data, platform::testing::Dword(1));
}

TEST_F(OptionsDialogQtTest, RefusedNameIsToldAndSelectedForRetyping) {
    chosen = h.Folder("Trips");
    h.program->Main("");
    auto* name = qtt::FindWidget<QLineEdit>("frmOptions", "txtName");
    ASSERT_NE(name, nullptr);
    name->selectAll();
    qtt::TypeInto(name, "a/b");
    auto box = qtt::AnswerNextMessageBox(platform::forms::kIdOk);
    qtt::Click(qtt::FindWidget<QPushButton>("frmOptions", "cmdOK"));
    QApplication::processEvents();
    ASSERT_TRUE(box->shown);
    EXPECT_EQ(box->text, "You cannot use the characters \\/:*?\"<>|");
    EXPECT_EQ(box->icon, QMessageBox::Warning);
    EXPECT_EQ(name->selectedText().toStdString(), "a/b");
    EXPECT_FALSE(fs::exists(h.SideMenu()));
}

TEST_F(OptionsDialogQtTest, WindowsArePhotographed) {
    chosen = h.Folder("Trips 2026");
    h.program->Main("");
    ASSERT_NE(qtt::FindWindow("frmOptions"), nullptr);
    EXPECT_TRUE(qtt::SavePng("frmOptions", ScreenshotPath("options-dialog.png")));

    // Shown without waiting here, so that the test can photograph it.
    h.platform.ui->Show(h.program->AboutForm(), platform::forms::ShowMode::Modeless,
                        &h.program->OptionsForm());
    QApplication::processEvents();
    EXPECT_TRUE(qtt::SavePng("frmAbout", ScreenshotPath("about-box.png")));
    h.platform.ui->Unload(h.program->AboutForm());

    h.platform.ui->Show(h.program->StartMenuSettingForm());
    QApplication::processEvents();
    EXPECT_TRUE(qtt::SavePng("frmStartMenuSetting", ScreenshotPath("start-menu-setting.png")));
    h.program->UnloadAllForms();
}

}  // namespace
}  // namespace shortcut_maker
