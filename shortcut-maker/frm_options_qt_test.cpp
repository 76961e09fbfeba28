// The dialog road through the real Qt windows (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <cstdlib>

#include "platform/forms/message_box.h"
#include "platform/posix/chm_help.h"
#include "platform/qt/qt_control_widgets.h"
#include "platform/qt/qt_test_support.h"
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

TEST_F(OptionsDialogQtTest, ALongFolderPathWithoutSpacesIsShownWhole) {
    chosen = "Z:\\";
    while (chosen.size() < 200) chosen += "Projektordner" + std::to_string(chosen.size() % 7);
    chosen.resize(200);
    h.program->Main("");
    auto* label = qtt::FindWidget<platform::qt::ClickableLabel>("frmOptions", "lblPathInfo");
    ASSERT_NE(label, nullptr);
    const QStringList lines = label->WrappedLines();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(2).join("").toStdString(), chosen);
    const QFontMetrics metrics(label->font());
    EXPECT_LE(lines.size() * metrics.lineSpacing(), label->height()) << "the last line fits";
    for (const QString& line : lines) {
        EXPECT_LE(metrics.horizontalAdvance(line), label->contentsRect().width());
    }
}

// The Help button on the real viewer: the help file built with the programs.
TEST_F(OptionsDialogQtTest, HelpOpensTheHelpFileWithItsContentsOrTellsItIsMissing) {
    h.platform.htmlHelp = std::make_unique<platform::posix::ChmHelp>(*h.platform.ui);
    chosen = h.Folder("Trips");
    h.program->Main("");

    auto missing = qtt::AnswerNextMessageBox(platform::forms::kIdOk);
    qtt::Click(qtt::FindWidget<QPushButton>("frmOptions", "cmdHelp"));
    ASSERT_TRUE(missing->shown);
    EXPECT_EQ(missing->text, "Cannot open the file kestrow.chm.");
    EXPECT_EQ(qtt::FindWindow("helpWindow"), nullptr);
    EXPECT_NE(qtt::FindWindow("frmOptions"), nullptr);

    const char* binDir = std::getenv("KESTROW_BIN_DIR");
    const fs::path built =
        fs::path(binDir ? binDir : KESTROW_BUILD_DIR_DEFAULT "/bin") / "kestrow.chm";
    if (!fs::exists(built)) GTEST_SKIP() << "the help file was not built (no chmcmd)";
    fs::copy_file(built, fs::path(h.Root()) / "bin" / "kestrow.chm");
    qtt::Click(qtt::FindWidget<QPushButton>("frmOptions", "cmdHelp"));
    QWidget* window = qtt::FindWindow("helpWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Kestrow 2005 Help");
    auto* contents = window->findChild<QTreeWidget*>("helpContents");
    auto* index = window->findChild<QListWidget*>("helpIndex");
    auto* browser = window->findChild<QTextBrowser*>("helpBrowser");
    ASSERT_TRUE(contents && index && browser);
    EXPECT_EQ(contents->topLevelItem(0)->text(0), "Welcome to Kestrow 2005");
    EXPECT_GE(contents->topLevelItemCount(), 9);
    EXPECT_GE(index->count(), 20);
    EXPECT_TRUE(browser->toPlainText().contains("Kestrow makes shortcuts to folders"));

    qtt::Click(qtt::FindWidget<QPushButton>("frmOptions", "cmdCancel"));
    QApplication::processEvents();
    EXPECT_EQ(qtt::FindWindow("helpWindow"), nullptr) << "help goes with the dialog";
}

}  // namespace
}  // namespace shortcut_maker
