#include "platform/qt/qt_backend.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/forms/form.h"
#include "platform/forms/help_windows.h"
#include "platform/forms/message_box.h"
#include "platform/forms/user_interface.h"
#include "platform/qt/qt_classic_look.h"
#include "platform/qt/qt_control_widgets.h"
#include "platform/qt/qt_help_window.h"
#include "platform/qt/qt_resources.h"
#include "platform/qt/qt_test_support.h"
#include "platform/qt/qt_units.h"
#include "platform/testing/scoped_env.h"
#include "platform/testing/test_folder.h"

namespace platform::qt {
namespace {

using namespace platform::forms;
using platform::testing::ScopedEnv;
using platform::testing::TestFolder;
using testing::AnswerNextMessageBox;
using testing::Click;
using testing::FindWidget;
using testing::FindWindow;

FormStyle TestStyle(bool keyPreview = false) {
    FormStyle style;
    style.caption = "Kestrow 2005";
    style.clientWidth = 8580;
    style.clientHeight = 6990;
    style.minButton = true;
    style.icon = "kestrow";
    style.keyPreview = keyPreview;
    return style;
}

// A form with every kind of control, laid out like the options dialog.
class TestForm : public Form {
  public:
    TestForm(UserInterface& ui, FormStyle style, std::string name = "frmTest")
        : Form(ui, std::move(name), std::move(style)),
          txtName(*this, "txtName", {225, 2235, 8145, 315}, 0, 50),
          fraTree(*this, "fraTree", {240, 3615, 3225, 1470}, 1, "Folder tree"),
          optAll(*this, &fraTree, "optAll", {240, 405, 2475, 270}, 2, "Show all folders", true),
          optSub(*this, &fraTree, "optSub", {240, 930, 2475, 270}, 3, "Show subfolders only",
                 false),
          fraPlace(*this, "fraPlace", {3720, 3615, 3225, 1470}, 4, "Shortcut location"),
          optSide(*this, &fraPlace, "optSide", {240, 405, 2460, 270}, 5, "Side menu", true),
          optStart(*this, &fraPlace, "optStart", {240, 930, 2460, 270}, 6, "Start Menu", false),
          cmdCancel(*this, nullptr, "cmdCancel", {7230, 4242, 1140, 345}, 8, "Cancel"),
          cmdOK(*this, nullptr, "cmdOK", {7230, 3705, 1140, 345}, 7, "OK",
                "Click here to create the shortcut and exit"),
          picInfo(*this, "picInfo", {225, 5265, 6720, 1470}, 9, "pictures/about.jpg"),
          lblLink(*this, &picInfo, "lblLink", {150, 300, 3000, 195}, 10, "https://example.org"),
          lblInfo(*this, nullptr, "lblInfo", {225, 1920, 8160, 240}, 11,
                  "Please enter a name for the shortcut.") {
        cmdOK.OnClick = [this] { ++okClicks; };
        lblLink.OnClick = [this] { ++linkClicks; };
        lblLink.SetColours(0x0000C0, 0xFFFFFF);
        lblLink.SetFont({"MS Sans Serif", 8.25, false, true});
        lblLink.SetPointer(MousePointer::PointingHand);
        lblLink.SetTextAlignment(Alignment::Center);
    }

    void Form_Activate() override { ++activations; }
    void Form_Unload() override { ++unloads; }
    void Form_KeyDown(int keyCode, int shift) override {
        keys.emplace_back(keyCode, shift);
        if (keyCode == 27 && unloadOnEscape) Ui().Unload(*this);
    }

    TextBox txtName;
    Frame fraTree;
    OptionButton optAll, optSub;
    Frame fraPlace;
    OptionButton optSide, optStart;
    CommandButton cmdCancel, cmdOK;
    forms::PictureBox picInfo;
    Label lblLink, lblInfo;

    int okClicks = 0, linkClicks = 0, activations = 0, unloads = 0;
    bool unloadOnEscape = false;
    std::vector<std::pair<int, int>> keys;
};

class QtBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ui = std::make_unique<UserInterface>(testing::QtBackendFactory());
        ASSERT_NO_THROW(ui->Backend()) << "the offscreen Qt platform must be available";
    }
    void TearDown() override {
        const std::vector<Form*> loaded = ui->LoadedForms();
        for (Form* form : loaded) ui->Unload(*form);
        forms.clear();
        ui.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TestForm& MakeForm(FormStyle style = TestStyle(), std::string name = "frmTest") {
        forms.push_back(std::make_unique<TestForm>(*ui, std::move(style), std::move(name)));
        return *forms.back();
    }
    TestForm& ShowForm(FormStyle style = TestStyle()) {
        TestForm& form = MakeForm(std::move(style));
        ui->Show(form);
        return form;
    }
    static int Px(int twips) { return TwipsToPixels(twips, LayoutDpi()); }

    std::unique_ptr<UserInterface> ui;
    std::vector<std::unique_ptr<TestForm>> forms;
};

TEST_F(QtBackendTest, RendersTheFormAndItsControlsAtTheirTwipsPlaces) {
    ShowForm();
    QWidget* window = FindWindow("frmTest");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Kestrow 2005");
    EXPECT_EQ(window->size(), QSize(Px(8580), Px(6990)));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "not resizable";
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);

    auto* name = FindWidget<QLineEdit>("frmTest", "txtName");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->geometry(), QRect(Px(225), Px(2235), Px(8145), Px(315)));

    auto* frame = FindWidget<QGroupBox>("frmTest", "fraTree");
    auto* option = FindWidget<QRadioButton>("frmTest", "optSub");
    ASSERT_TRUE(frame && option);
    EXPECT_EQ(frame->title(), "Folder tree");
    EXPECT_EQ(option->parentWidget(), frame);
    EXPECT_EQ(option->geometry(), QRect(Px(240), Px(930), Px(2475), Px(270)));
    EXPECT_EQ(option->text(), "Show subfolders only");

    auto* link = FindWidget<QLabel>("frmTest", "lblLink");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->parentWidget()->objectName(), "picInfo");
    EXPECT_EQ(link->mapTo(window, QPoint(0, 0)), QPoint(Px(225) + Px(150), Px(5265) + Px(300)));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 0xC0));
    EXPECT_TRUE(link->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(link->cursor().shape() == Qt::PointingHandCursor ||
                  link->cursor().shape() == Qt::BitmapCursor,
              true);

    auto* ok = FindWidget<QPushButton>("frmTest", "cmdOK");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->toolTip(), "Click here to create the shortcut and exit");
    EXPECT_FALSE(ok->autoDefault() || ok->isDefault()) << "Enter presses nothing by itself";
    EXPECT_TRUE(FindWidget<QPushButton>("frmTest", "cmdCancel")->toolTip().isEmpty());
}

TEST_F(QtBackendTest, TabOrderFollowsTheTabIndexesNotTheOrderOfMaking) {
    ShowForm();
    QWidget* widget = FindWidget<QLineEdit>("frmTest", "txtName");
    QStringList order;
    for (int i = 0; i < 100 && order.size() < 7; ++i) {
        if (widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
        widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(order, QStringList({"txtName", "optAll", "optSub", "optSide", "optStart", "cmdOK",
                                  "cmdCancel"}));
}

TEST_F(QtBackendTest, OptionButtonsGroupPerContainerBothWays) {
    TestForm& form = ShowForm();
    auto* all = FindWidget<QRadioButton>("frmTest", "optAll");
    auto* sub = FindWidget<QRadioButton>("frmTest", "optSub");
    auto* side = FindWidget<QRadioButton>("frmTest", "optSide");
    auto* start = FindWidget<QRadioButton>("frmTest", "optStart");
    EXPECT_TRUE(all->isChecked() && side->isChecked());

    Click(sub);
    EXPECT_TRUE(form.optSub.Value());
    EXPECT_FALSE(form.optAll.Value());
    EXPECT_TRUE(form.optSide.Value()) << "another frame's options are not touched";
    EXPECT_TRUE(side->isChecked());

    Click(sub);  // clicking the one that is on leaves it on
    EXPECT_TRUE(sub->isChecked() && form.optSub.Value());

    form.optStart.SetValue(true);
    EXPECT_TRUE(start->isChecked());
    EXPECT_FALSE(side->isChecked());
    EXPECT_TRUE(sub->isChecked());

    form.optStart.SetValue(false);
    EXPECT_FALSE(start->isChecked()) << "the model may turn a whole group off";
}

TEST_F(QtBackendTest, TextBoxKeepsItsMaxLengthAndSelectionInStepWithTheModel) {
    TestForm& form = ShowForm();
    auto* edit = FindWidget<QLineEdit>("frmTest", "txtName");

    testing::TypeInto(edit, std::string(60, 'x'));
    EXPECT_EQ(form.txtName.Text(), std::string(50, 'x'));
    EXPECT_EQ(form.txtName.SelStart(), 50);

    form.txtName.SetText("Caf\xC3\xA9 Documents");
    EXPECT_EQ(edit->text(), QString::fromUtf8("Caf\xC3\xA9 Documents"));
    form.txtName.SetSelection(0, 4);
    EXPECT_EQ(edit->selectedText(), QString::fromUtf8("Caf\xC3\xA9"));

    edit->setSelection(5, 9);  // as a user's mouse selection reports it
    EXPECT_EQ(form.txtName.SelStart(), 5);
    EXPECT_EQ(form.txtName.SelectedText(), "Documents");

    // The limit counts characters, not UTF-16 units.
    form.txtName.SetText(std::string(48, 'y'));
    edit->setCursorPosition(2);
    edit->insert(QString::fromUtf8("\xF0\x9F\x8E\xB5\xF0\x9F\x8E\xB6\xF0\x9F\x8E\xB7"));
    EXPECT_EQ(form.txtName.Text(), "yy\xF0\x9F\x8E\xB5\xF0\x9F\x8E\xB6" + std::string(46, 'y'));
    EXPECT_EQ(form.txtName.SelStart(), 4);
    EXPECT_EQ(edit->text().size(), 52);

    edit->setSelection(0, edit->text().size());
    testing::TypeInto(edit, "Music");
    EXPECT_EQ(form.txtName.Text(), "Music") << "typing replaces the selection";
}

TEST_F(QtBackendTest, FocusFollowsTheModelAndTheUser) {
    TestForm& form = ShowForm();
    form.cmdCancel.SetFocus();
    EXPECT_EQ(FindWindow("frmTest")->focusWidget()->objectName(), "cmdCancel");

    FindWidget<QLineEdit>("frmTest", "txtName")->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.ActiveControl(), &form.txtName);
}

TEST_F(QtBackendTest, ClicksOfButtonsAndLabelsReachTheModel) {
    TestForm& form = ShowForm();
    Click(FindWidget<QPushButton>("frmTest", "cmdOK"));
    Click(FindWidget<QLabel>("frmTest", "lblLink"));
    Click(FindWidget<QLabel>("frmTest", "lblInfo"));
    EXPECT_EQ(form.okClicks, 1);
    EXPECT_EQ(form.linkClicks, 1);
}

TEST_F(QtBackendTest, TheCloseBoxUnloadsTheFormOnce) {
    TestForm& form = ShowForm();
    QPointer<QWidget> window = FindWindow("frmTest");
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_TRUE(window.isNull()) << "the window is deleted once its events are done";
}

TEST_F(QtBackendTest, AFormUnloadedByItsOwnButtonHandlerClosesSafely) {
    TestForm& form = MakeForm();
    form.cmdCancel.OnClick = [&form] { form.Ui().Unload(form); };
    ui->Show(form);
    Click(FindWidget<QPushButton>("frmTest", "cmdCancel"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form.unloads, 1);
    EXPECT_EQ(FindWindow("frmTest"), nullptr);

    ui->Show(form);  // a form can be shown again after it was unloaded
    EXPECT_NE(FindWindow("frmTest"), nullptr);
}

TEST_F(QtBackendTest, KeyPreviewSeesKeysFromAnyFocusedControlOnce) {
    TestForm& form = ShowForm(TestStyle(true));
    QWidget* window = FindWindow("frmTest");
    for (const char* name : {"txtName", "optSub", "cmdOK"}) {
        window->findChild<QWidget*>(name)->setFocus();
        testing::PressKey(window, Qt::Key_Escape);
    }
    testing::PressKey(window, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    testing::PressKey(window, Qt::Key_Return);
    // The modifier keys are keys of their own, as on Windows.
    const std::vector<std::pair<int, int>> expected{{27, 0}, {27, 0},  {27, 0}, {16, 1},
                                                    {17, 3}, {'A', 3}, {13, 0}};
    EXPECT_EQ(form.keys, expected);
    EXPECT_EQ(form.okClicks, 1) << "the form sees Enter first, then the focused button";

    form.unloadOnEscape = true;
    testing::PressKey(window, Qt::Key_Escape);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(form.unloads, 1);
}

TEST_F(QtBackendTest, EnterAndSpacePressTheFocusedButtonAndNothingElse) {
    TestForm& form = MakeForm();
    int cancelClicks = 0;
    form.cmdCancel.OnClick = [&cancelClicks] { ++cancelClicks; };
    ui->Show(form);
    QWidget* window = FindWindow("frmTest");

    QApplication::setActiveWindow(window);  // focus events come to an active window only
    form.cmdOK.SetFocus();
    auto* ok = FindWidget<QPushButton>("frmTest", "cmdOK");
    EXPECT_TRUE(ok->isDefault()) << "the focused button looks like the default one";
    testing::PressKey(window, Qt::Key_Return);
    testing::PressKey(window, Qt::Key_Enter, Qt::KeypadModifier);
    testing::PressKey(window, Qt::Key_Space);
    EXPECT_EQ(form.okClicks, 3);
    EXPECT_EQ(cancelClicks, 0);

    form.cmdCancel.SetFocus();
    EXPECT_FALSE(ok->isDefault());
    testing::PressKey(window, Qt::Key_Return);
    testing::PressKey(window, Qt::Key_Space);
    EXPECT_EQ(cancelClicks, 2) << "the button with the focus, not a default one";
    EXPECT_EQ(form.okClicks, 3);

    // No default button: Enter in the text box or on an option does nothing.
    form.txtName.SetFocus();
    testing::PressKey(window, Qt::Key_Return);
    form.optSub.SetFocus();
    testing::PressKey(window, Qt::Key_Return);
    EXPECT_EQ(form.okClicks, 3);
    EXPECT_EQ(cancelClicks, 2);
    EXPECT_TRUE(form.optAll.Value()) << "Enter does not choose the option";
    testing::PressKey(window, Qt::Key_Space);
    EXPECT_TRUE(form.optSub.Value()) << "Space chooses the focused option";
    EXPECT_TRUE(form.IsLoaded());
}

TEST_F(QtBackendTest, ALongPathWithoutSpacesWrapsWholeInsideItsLabel) {
    TestForm& form = MakeForm();
    std::string path = "Z:\\";
    while (path.size() < 200) path += "Verzeichnis" + std::to_string(path.size() % 10);
    path.resize(200);
    const std::string caption = "Kestrow will create a shortcut to the folder\r\n\r\n" + path;
    form.lblInfo.SetCaption(caption);
    ui->Show(form);
    auto* label = FindWidget<ClickableLabel>("frmTest", "lblInfo");
    ASSERT_NE(label, nullptr);
    label->setGeometry(QRect(Px(225), Px(285), Px(8160), Px(1275)));  // lblPathInfo's place

    const QStringList lines = label->WrappedLines();
    ASSERT_GE(lines.size(), 4) << "the path needs more than one line";
    EXPECT_EQ(lines[0], "Kestrow will create a shortcut to the folder");
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_EQ(lines.mid(2).join("").toStdString(), path) << "every character, in order";
    const QFontMetrics metrics(label->font());
    for (const QString& line : lines) {
        EXPECT_LE(metrics.horizontalAdvance(line), label->contentsRect().width())
            << line.toStdString();
    }
    EXPECT_LE(lines.size() * metrics.lineSpacing(), label->height()) << "no line is cut off";

    // The last line of the path is painted, not only laid out.
    const QImage image = label->grab().toImage();
    const double ratio = image.devicePixelRatio();
    bool inked = false;
    for (int y = int((lines.size() - 1) * metrics.lineSpacing() * ratio);
         y < int(lines.size() * metrics.lineSpacing() * ratio) && y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) inked = inked || qGray(image.pixel(x, y)) < 100;
    }
    EXPECT_TRUE(inked);
}

TEST_F(QtBackendTest, LabelsOverAPictureLetItShowThroughAroundTheirText) {
    ShowForm();
    auto* link = FindWidget<ClickableLabel>("frmTest", "lblLink");
    auto* info = FindWidget<ClickableLabel>("frmTest", "lblInfo");
    QWidget* picture = FindWidget<QWidget>("frmTest", "picInfo");
    ASSERT_TRUE(link && info && picture);
    EXPECT_TRUE(link->OverPicture());
    EXPECT_FALSE(link->autoFillBackground()) << "its white background is not painted";
    EXPECT_FALSE(info->OverPicture());

    const QImage with = picture->grab().toImage();
    link->hide();
    const QImage without = picture->grab().toImage();
    link->show();
    const double ratio = with.devicePixelRatio();
    const QPoint corner = (link->geometry().topLeft() + QPoint(1, 1)) * ratio;
    EXPECT_EQ(with.pixel(corner), without.pixel(corner)) << "the picture beside the text";
    int changed = 0;
    for (int y = 0; y < link->height() * ratio; ++y) {
        for (int x = 0; x < link->width() * ratio; ++x) {
            const QPoint at = link->geometry().topLeft() * ratio + QPoint(x, y);
            changed += with.pixel(at) != without.pixel(at);
        }
    }
    EXPECT_GT(changed, 50) << "the text itself is painted";
}

TEST_F(QtBackendTest, WithoutKeyPreviewTheFormSeesNoKeys) {
    TestForm& form = ShowForm(TestStyle(false));
    testing::PressKey(FindWindow("frmTest"), Qt::Key_Escape);
    EXPECT_TRUE(form.keys.empty());
}

TEST_F(QtBackendTest, MessageBoxesShowTheirStyleAndAnswerWithWin32Ids) {
    auto question = AnswerNextMessageBox(kIdNo);
    EXPECT_EQ(ui->MsgBox("A shortcut called <b>x</b> already exists.", kMbYesNo | kMbIconQuestion,
                         "Kestrow"),
              kIdNo);
    ASSERT_TRUE(question->shown);
    EXPECT_EQ(question->title, "Kestrow");
    EXPECT_EQ(question->text, "A shortcut called <b>x</b> already exists.");
    EXPECT_EQ(question->icon, QMessageBox::Question);
    EXPECT_EQ(question->buttons.size(), 2u);
    EXPECT_EQ(question->defaultButton, kIdYes);

    auto second = AnswerNextMessageBox(kIdYes);
    EXPECT_EQ(ui->MsgBox("Replace?", kMbYesNo | kMbIconQuestion | kMbDefButton2, "Kestrow"),
              kIdYes);
    EXPECT_EQ(second->defaultButton, kIdNo) << "MB_DEFBUTTON2";

    auto warning = AnswerNextMessageBox(kIdOk);
    EXPECT_EQ(ui->MsgBox("You did not enter a name", kMbIconExclamation, "Kestrow"), kIdOk);
    EXPECT_EQ(warning->icon, QMessageBox::Warning);
    EXPECT_EQ(warning->buttons, std::vector<int>{kIdOk});

    auto stop = AnswerNextMessageBox(kIdOk);
    ui->MsgBox("Unexpected error.", kMbIconHand, "Kestrow");
    EXPECT_EQ(stop->icon, QMessageBox::Critical);
    auto info = AnswerNextMessageBox(kIdOk);
    ui->MsgBox("Done.", kMbIconInformation, "Kestrow");
    EXPECT_EQ(info->icon, QMessageBox::Information);
}

TEST_F(QtBackendTest, EnterAndSpacePressTheFocusedButtonOfAMessageBox) {
    auto enter = testing::OnNextMessageBox(
        [](QMessageBox& box) { QTest::keyClick(box.focusWidget(), Qt::Key_Return); });
    EXPECT_EQ(ui->MsgBox("Replace?", kMbYesNo | kMbIconQuestion, "Kestrow"), kIdYes)
        << "the default has the focus";
    EXPECT_EQ(enter->buttonsWithPictures, 0);

    auto tabbed = testing::OnNextMessageBox([](QMessageBox& box) {
        QTest::keyClick(box.focusWidget(), Qt::Key_Tab);
        QTest::keyClick(box.focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(ui->MsgBox("Replace?", kMbYesNo | kMbIconQuestion, "Kestrow"), kIdNo)
        << "Enter follows the focus";

    auto space = testing::OnNextMessageBox([](QMessageBox& box) {
        QTest::keyClick(box.focusWidget(), Qt::Key_Tab);
        QTest::keyClick(box.focusWidget(), Qt::Key_Space);
    });
    EXPECT_EQ(ui->MsgBox("Replace?", kMbYesNo | kMbIconQuestion | kMbDefButton2, "Kestrow"), kIdYes)
        << "from No to Yes, then Space";
}

TEST_F(QtBackendTest, AMessageBoxClosedWithoutAnAnswerChangesNothing) {
    AnswerNextMessageBox(0);  // no such button: the box is dismissed
    EXPECT_EQ(ui->MsgBox("Replace?", kMbYesNo | kMbIconQuestion, "Kestrow"), kIdNo);
    AnswerNextMessageBox(0);
    EXPECT_EQ(ui->MsgBox("Go on?", kMbOkCancel, "Kestrow"), kIdCancel);
    AnswerNextMessageBox(0);
    EXPECT_EQ(ui->MsgBox("Note", kMbIconExclamation, "Kestrow"), kIdOk);
}

TEST_F(QtBackendTest, AModalFormWithAnOwnerReturnsAfterItsUnloadAndReactivatesTheOwner) {
    TestForm& owner = MakeForm();
    FormStyle childStyle = TestStyle(true);
    childStyle.caption = "About Kestrow 2005";
    childStyle.clientWidth = 4000;
    childStyle.clientHeight = 3000;
    childStyle.showInTaskbar = false;
    childStyle.position = StartUpPosition::CenterOwner;
    TestForm& child = MakeForm(childStyle, "frmChild");
    child.unloadOnEscape = true;
    ui->Show(owner);
    ASSERT_EQ(owner.activations, 1);

    bool sawModalChild = false;
    QTimer::singleShot(50, [&] {
        QWidget* window = FindWindow("About Kestrow 2005");
        QWidget* ownerWindow = FindWindow("frmTest");
        if (window && ownerWindow) {
            sawModalChild = window->windowModality() == Qt::WindowModal &&
                            window->parentWidget() == ownerWindow &&
                            (window->geometry().center() - ownerWindow->geometry().center())
                                    .manhattanLength() <= 6;
        }
        testing::PressKey(window, Qt::Key_Escape);
    });
    ui->Show(child, ShowMode::Modal, &owner);
    EXPECT_TRUE(sawModalChild);
    EXPECT_FALSE(child.IsLoaded());
    EXPECT_EQ(child.unloads, 1);
    EXPECT_EQ(owner.activations, 2);
    EXPECT_TRUE(owner.IsLoaded());
}

TEST_F(QtBackendTest, RunReturnsWhenTheLastFormIsUnloaded) {
    TestForm& form = ShowForm();
    QTimer::singleShot(50, [] { FindWindow("frmTest")->close(); });
    ui->Run();
    EXPECT_FALSE(form.IsLoaded());

    // A form whose window went with its owner's can no longer be closed.
    TestForm& owner = MakeForm(TestStyle(), "frmOwner");
    TestForm& owned = MakeForm(TestStyle(), "frmOwned");
    ui->Show(owner);
    ui->Show(owned, ShowMode::Modeless, &owner);
    QTimer::singleShot(50, [] { FindWindow("frmOwner")->close(); });
    ui->Run();
    EXPECT_FALSE(owner.IsLoaded());
    EXPECT_TRUE(owned.IsLoaded());
    ui->Unload(owned);

    TestForm& hidden = MakeForm(TestStyle(), "frmHidden");
    ui->Load(hidden);  // loaded but never shown: nobody could unload it
    ui->Run();
    EXPECT_TRUE(hidden.IsLoaded());
}

// The help windows of the backend a UI loaded.
HelpWindows& HelpOf(UserInterface& ui) { return dynamic_cast<HelpWindows&>(ui.Backend()); }

// A help document of one page, without contents or index.
HelpDocument Page(std::string title, std::string html,
                  std::function<std::string(const std::string&)> resource) {
    HelpDocument document;
    document.title = std::move(title);
    document.html = std::move(html);
    document.resource = std::move(resource);
    return document;
}

TEST_F(QtBackendTest, HelpWindowsShowPagesWithTheirResourcesAndCloseTogether) {
    std::vector<std::string> asked;
    auto resource = [&asked](const std::string& name) -> std::string {
        asked.push_back(name);
        if (name == "other.htm") return "<html><body><p>Second page</p></body></html>";
        return {};
    };
    HelpWindows& backend = HelpOf(*ui);
    const auto id = backend.OpenHelp(
        Page("Kestrow Help", "<p>First page <img src=\"images/logo.gif\"></p>", resource));
    EXPECT_NE(id, 0u);
    auto* browser = FindWidget<QTextBrowser>("Kestrow Help", "helpBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("First page"));
    EXPECT_NE(std::find(asked.begin(), asked.end(), "images/logo.gif"), asked.end());

    browser->setSource(QUrl("other.htm"));
    EXPECT_TRUE(browser->toPlainText().contains("Second page"));

    const auto second = backend.OpenHelp(Page("Kestrow Help 2", "<p>x</p>", resource));
    EXPECT_NE(second, id);
    backend.CloseHelpWindows();
    QCoreApplication::processEvents();
    EXPECT_EQ(FindWindow("Kestrow Help"), nullptr);
    EXPECT_EQ(FindWindow("Kestrow Help 2"), nullptr);
}

TEST_F(QtBackendTest, HelpShownAgainReplacesTheOpenHelpWindowAndReleasesItsFile) {
    // Stands for the open help file the old window reads from.
    auto file = std::make_shared<int>(0);
    const std::weak_ptr<int> firstFile = file;
    HelpWindows& backend = HelpOf(*ui);
    backend.OpenHelp(
        Page("Kestrow Help", "<p>First</p>", [file](const std::string&) { return std::string(); }));
    file.reset();
    backend.OpenHelp(
        Page("Kestrow Help", "<p>Again</p>", [](const std::string&) { return std::string(); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    int shown = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == "helpWindow" && window->isVisible()) ++shown;
    }
    EXPECT_EQ(shown, 1);
    auto* browser = FindWidget<QTextBrowser>("Kestrow Help", "helpBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("Again"));
    EXPECT_TRUE(firstFile.expired());
    backend.CloseHelpWindows();
}

// A help file of three topics, one in a folder of its own.
HelpDocument ThreeTopics() {
    static const std::map<std::string, std::string> pages{
        {"/start.htm",
         "<h1>Welcome</h1><p>Shortcuts to folders. <a href=\"dialog.htm\">On</a></p>"},
        {"/dialog.htm", "<h1>Options dialog</h1><p>Type a name for the shortcut.</p>"},
        {"/more/delay.htm", "<h1>Menu delay</h1><p>Folders open faster.</p>"}};
    HelpDocument document;
    document.title = "Test Help";
    document.topic = "start.htm";
    document.html = pages.at("/start.htm");
    document.contents = {{"Welcome", "start.htm", 0},
                         {"Working", "", 0},
                         {"The dialog", "dialog.htm", 1},
                         {"The delay", "more/delay.htm#top", 1}};
    document.index = {{"Delay", "more/delay.htm", 0}, {"Dialog", "dialog.htm", 0}};
    document.resource = [](const std::string& name) {
        const auto page = pages.find(name);
        return page == pages.end() ? std::string() : page->second;
    };
    return document;
}

TEST_F(QtBackendTest, HelpWindowHasContentsIndexAndHistoryFromTheOpeningTopic) {
    HelpOf(*ui).OpenHelp(ThreeTopics());
    QWidget* window = FindWindow("Test Help");
    ASSERT_NE(window, nullptr);
    auto* browser = window->findChild<QTextBrowser*>("helpBrowser");
    auto* contents = window->findChild<QTreeWidget*>("helpContents");
    auto* back = window->findChild<QToolButton*>("helpBack");
    auto* forward = window->findChild<QToolButton*>("helpForward");
    auto* home = window->findChild<QToolButton*>("helpHome");
    ASSERT_TRUE(browser && contents && back && forward && home);
    auto shows = [browser](const char* text) { return browser->toPlainText().contains(text); };
    auto clickItem = [contents](QTreeWidgetItem* item) {
        QTest::mouseClick(contents->viewport(), Qt::LeftButton, Qt::NoModifier,
                          contents->visualItemRect(item).center());
    };
    EXPECT_TRUE(shows("Welcome"));

    ASSERT_EQ(contents->topLevelItemCount(), 2);
    QTreeWidgetItem* heading = contents->topLevelItem(1);
    EXPECT_EQ(heading->text(0), "Working");
    ASSERT_EQ(heading->childCount(), 2);
    EXPECT_EQ(heading->child(1)->text(0), "The delay");

    clickItem(heading);  // a heading opens nothing
    EXPECT_TRUE(shows("Welcome"));
    clickItem(heading->child(1));
    EXPECT_TRUE(shows("Menu delay")) << "a topic in a folder of its own";
    EXPECT_TRUE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());

    Click(back);
    EXPECT_TRUE(shows("Welcome")) << "the opening topic is in the history";
    EXPECT_TRUE(forward->isEnabled());
    Click(forward);
    EXPECT_TRUE(shows("Menu delay"));

    browser->setSource(QUrl("/start.htm"));
    browser->setSource(QUrl("dialog.htm"));  // a link from the page
    EXPECT_TRUE(shows("Options dialog"));
    EXPECT_EQ(contents->currentItem(), heading->child(0)) << "the contents follow the page";
    Click(home);
    EXPECT_TRUE(shows("Welcome"));

    auto* word = window->findChild<QLineEdit*>("helpIndexWord");
    auto* index = window->findChild<QListWidget*>("helpIndex");
    ASSERT_TRUE(word && index);
    ASSERT_EQ(index->count(), 2);
    window->findChild<QTabWidget*>("helpTabs")->setCurrentIndex(1);
    testing::TypeInto(word, "di");
    EXPECT_EQ(index->currentItem()->text(), "Dialog");
    QTest::keyClick(word, Qt::Key_Return);
    EXPECT_TRUE(shows("Options dialog"));

    auto* help = qobject_cast<HelpWindow*>(window);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->SearchTopics("FOLDERS"), QStringList({"Welcome", "The delay"}));
    EXPECT_EQ(help->SearchTopics("folders shortcuts"), QStringList({"Welcome"}));
    EXPECT_TRUE(help->SearchTopics("nowhere").isEmpty());
    HelpOf(*ui).CloseHelpWindows();
}

TEST_F(QtBackendTest, TheFormsAndTheirBoxesWearTheClassicLookButNotTheFolderBrowser) {
    ShowForm();
    QWidget* window = FindWindow("frmTest");
    ASSERT_NE(ClassicStyle(), nullptr) << "Qt's classic style is built into its widgets";
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        EXPECT_EQ(widget->style(), ClassicStyle()) << widget->objectName().toStdString();
    }
    EXPECT_EQ(window->palette().color(QPalette::Button), QColor(212, 208, 200));
    EXPECT_NE(QApplication::style(), ClassicStyle()) << "the application's style is left alone";
}

TEST_F(QtBackendTest, IconsAndPicturesComeFromTheResourceFoldersOrNotAtAll) {
    const TestFolder resources;
    const QString folder = QString::fromStdString(resources.Path());
    QDir().mkpath(folder + "/icons");
    QDir().mkpath(folder + "/pictures");
    QImage square(16, 16, QImage::Format_RGB32);
    square.fill(Qt::red);
    ASSERT_TRUE(square.save(folder + "/icons/testicon-16.png"));
    ASSERT_TRUE(square.save(folder + "/pictures/red.png"));
    ScopedEnv resourceDir("KESTROW_RESOURCE_DIR", folder.toStdString());

    EXPECT_FALSE(LoadIcon("testicon").isNull());
    EXPECT_EQ(LoadPicture("pictures/red.png").size(), QSize(16, 16));
    EXPECT_TRUE(LoadIcon("no-such-icon").isNull());
    EXPECT_TRUE(LoadPicture("pictures/none.png").isNull());
    // Names from outside the resource folders are not followed.
    const QString name = QString::fromStdString(resources.Native().filename().string());
    EXPECT_TRUE(FindResource("../" + name + "/pictures/red.png").isEmpty());
    EXPECT_TRUE(FindResource(folder + "/pictures/red.png").isEmpty());

    FormStyle style = TestStyle();
    style.icon = "testicon";
    ShowForm(style);
    EXPECT_FALSE(FindWindow("frmTest")->windowIcon().availableSizes().isEmpty());
}

}  // namespace
}  // namespace platform::qt
