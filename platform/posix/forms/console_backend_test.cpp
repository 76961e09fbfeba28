#include "platform/posix/forms/console_backend.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/forms/form.h"
#include "platform/forms/help_windows.h"
#include "platform/forms/message_box.h"
#include "platform/forms/user_interface.h"
#include "platform/platform_error.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

using namespace platform::forms;

// A terminal made of two pipes: the test writes the user's answers in
// advance and reads back what was shown.
class ScriptedTerminal {
  public:
    explicit ScriptedTerminal(const std::string& answers) {
        int in[2], out[2];
        EXPECT_EQ(::pipe(in), 0);
        EXPECT_EQ(::pipe(out), 0);
        EXPECT_EQ(::write(in[1], answers.data(), answers.size()),
                  static_cast<ssize_t>(answers.size()));
        ::close(in[1]);  // after the answers: end of input
        inRead_ = in[0];
        outRead_ = out[0];
        outWrite_ = out[1];
        ::fcntl(outRead_, F_SETFL, O_NONBLOCK);
    }
    ~ScriptedTerminal() {
        ::close(inRead_);
        ::close(outRead_);
        ::close(outWrite_);
    }
    ConsoleBackend::Terminal Terminal() const { return {inRead_, outWrite_, false}; }
    std::string Shown() {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(outRead_, buffer, sizeof buffer)) > 0) shown_.append(buffer, n);
        return shown_;
    }

  private:
    int inRead_, outRead_, outWrite_;
    std::string shown_;
};

TEST(ConsoleMessageBox, AsksOnTheTerminalWithTheStylesButtonsAndDefault) {
    ScriptedTerminal terminal("n\n\nmaybe\nY\n\n");
    ConsoleBackend backend(terminal.Terminal());
    EXPECT_EQ(backend.MessageBox("Replace it?", kMbYesNo | kMbIconQuestion, "Kestrow"), kIdNo);
    EXPECT_EQ(backend.MessageBox("Replace it?", kMbYesNo | kMbIconQuestion, "Kestrow"), kIdYes)
        << "Enter: Yes";
    EXPECT_EQ(
        backend.MessageBox("Replace it?", kMbYesNo | kMbIconQuestion | kMbDefButton2, "Kestrow"),
        kIdYes)
        << "asked again";
    EXPECT_EQ(
        backend.MessageBox("Replace it?", kMbYesNo | kMbIconQuestion | kMbDefButton2, "Kestrow"),
        kIdNo)
        << "MB_DEFBUTTON2";
    const std::string shown = terminal.Shown();
    EXPECT_NE(shown.find("[Kestrow]\nReplace it?\n[Y]es/[N]o (Enter: Yes)? "), std::string::npos);
    EXPECT_NE(shown.find("(Enter: No)"), std::string::npos);
}

TEST(ConsoleMessageBox, EndOfInputGivesTheAnswerThatChangesNothing) {
    ScriptedTerminal terminal("");
    ConsoleBackend backend(terminal.Terminal());
    EXPECT_EQ(backend.MessageBox("Replace it?", kMbYesNo | kMbIconQuestion, "Kestrow"), kIdNo);
    EXPECT_EQ(backend.MessageBox("Go on?", kMbOkCancel, "Kestrow"), kIdCancel);
    EXPECT_EQ(backend.MessageBox("You did not enter a name", kMbIconExclamation, "Kestrow"), kIdOk);
    EXPECT_NE(terminal.Shown().find("Warning: You did not enter a name"), std::string::npos);
}

TEST(ConsoleMessageBox, WorksOnARealPseudoTerminal) {
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const std::string typed = "c\n";
    ASSERT_EQ(::write(master, typed.data(), typed.size()), 2);
    {
        ConsoleBackend backend({slave, slave, false});
        EXPECT_EQ(backend.MessageBox("Create it?", kMbOkCancel, "Kestrow"), kIdCancel);
    }
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    std::string shown;
    char buffer[1024];
    ssize_t n;
    while ((n = ::read(master, buffer, sizeof buffer)) > 0) shown.append(buffer, n);
    EXPECT_NE(shown.find("[O]K/[C]ancel"), std::string::npos);
    ::close(master);
    ::close(slave);
}

// Runs body in a child without a controlling terminal, standard input from
// /dev/null and standard error into a pipe; returns what it wrote there.
std::string WithoutTerminal(const std::function<void()>& body) {
    int err[2];
    EXPECT_EQ(::pipe(err), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, 0);
        ::dup2(err[1], 2);
        ::close(err[0]);
        body();
        ::_exit(0);
    }
    ::close(err[1]);
    std::string written;
    char buffer[1024];
    ssize_t n;
    while ((n = ::read(err[0], buffer, sizeof buffer)) > 0) written.append(buffer, n);
    ::close(err[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return written;
}

TEST(ConsoleWithoutTerminal, QuestionsTakeTheSafeAnswerAndTheTextGoesToStandardError) {
    const std::string written = WithoutTerminal([] {
        const ConsoleBackend::Terminal terminal = ConsoleBackend::OpenTerminal();
        if (terminal.Present()) ::_exit(10);
        ConsoleBackend backend(terminal);
        if (backend.MessageBox("A shortcut called Music already exists.",
                               kMbYesNo | kMbIconQuestion, "Kestrow") != kIdNo) {
            ::_exit(11);
        }
        if (backend.MessageBox("Go on?", kMbOkCancel, "Kestrow") != kIdCancel) ::_exit(12);
        if (backend.MessageBox("Unexpected error.", kMbIconHand, "Kestrow") != kIdOk) ::_exit(13);
    });
    EXPECT_NE(written.find("Kestrow: A shortcut called Music already exists.\n"),
              std::string::npos);
    EXPECT_NE(written.find("Kestrow: Error: Unexpected error.\n"), std::string::npos);
}

TEST(ConsoleWithoutTerminal, FormsAndTheFolderBrowserCannotBeShown) {
    ConsoleBackend backend({});
    UserInterface ui(nullptr);
    Form form(ui, "frmStartMenuSetting", {});
    try {
        backend.CreateView(form, nullptr, false);
        ADD_FAILURE() << "a form was shown without a terminal";
    } catch (const PlatformError& error) {
        EXPECT_STREQ(error.what(), "no display and no terminal");
    }
    EXPECT_THROW(backend.BrowseForFolder("Select a folder you need a shortcut to"), PlatformError);
    forms::FormsBackend& asBackend = backend;
    EXPECT_EQ(dynamic_cast<forms::HelpWindows*>(&asBackend), nullptr) << "nothing to show help in";
}

FormStyle CaptionOnly(std::string caption) {
    FormStyle style;
    style.caption = std::move(caption);
    return style;
}

// The delay advisor's shape: three lines of text and three buttons.
class AdvisorForm : public Form {
  public:
    explicit AdvisorForm(UserInterface& ui)
        : Form(ui, "frmStartMenuSetting", CaptionOnly("Start Menu setting")),
          cmdYes(*this, nullptr, "cmdYes", {270, 1680, 1965, 405}, 0, "Yes, please"),
          cmNo(*this, nullptr, "cmNo", {2505, 1680, 1965, 405}, 1, "No, thank you"),
          cmdNoMore(*this, nullptr, "cmdNoMore", {4740, 1680, 1965, 405}, 2,
                    "No, and don't ask again"),
          label1(*this, nullptr, "Label1", {270, 1155, 6150, 285}, 5, "After the next reboot."),
          lblInfo1(*this, nullptr, "lblInfo1", {270, 255, 6150, 285}, 3, "Your delay is long."),
          lblInfo2(*this, nullptr, "lblInfo2", {270, 705, 6150, 285}, 4, "Kestrow can lower it.") {
        cmdYes.OnClick = [this] { Picked("yes"); };
        cmNo.OnClick = [this] { Picked("no"); };
        cmdNoMore.OnClick = [this] { Picked("no more"); };
    }
    void Form_Unload() override { ++unloads; }
    void Picked(const std::string& which) {
        picked += which + ";";
        Ui().Unload(*this);
    }

    CommandButton cmdYes, cmNo, cmdNoMore;
    Label label1, lblInfo1, lblInfo2;
    std::string picked;
    int unloads = 0;
};

class ConsoleFormTest : public ::testing::Test {
  protected:
    void Start(const std::string& answers) {
        terminal = std::make_unique<ScriptedTerminal>(answers);
        ui = std::make_unique<UserInterface>(
            [this] { return std::make_unique<ConsoleBackend>(terminal->Terminal()); });
    }
    std::unique_ptr<ScriptedTerminal> terminal;
    std::unique_ptr<UserInterface> ui;
};

TEST_F(ConsoleFormTest, AButtonFormIsOfferedAsANumberedChoice) {
    Start("7\nx\n2\n");
    AdvisorForm advisor(*ui);
    ui->Show(advisor);
    ui->Run();
    EXPECT_EQ(advisor.picked, "no;") << "out-of-range and garbage choices are asked again";
    EXPECT_FALSE(advisor.IsLoaded());
    const std::string shown = terminal->Shown();
    EXPECT_NE(shown.find("== Start Menu setting ==\nYour delay is long.\nKestrow can lower it.\n"
                         "After the next reboot.\n  1) Yes, please\n  2) No, thank you\n"
                         "  3) No, and don't ask again\n  0) Close\n"),
              std::string::npos)
        << shown;
}

TEST_F(ConsoleFormTest, ZeroOrTheEndOfInputClosesTheFormLikeTheCloseBox) {
    Start("0\n");
    AdvisorForm advisor(*ui);
    ui->Show(advisor);
    ui->Run();
    EXPECT_EQ(advisor.picked, "");
    EXPECT_EQ(advisor.unloads, 1);

    ui->Show(advisor);
    ui->Run();  // no input left
    EXPECT_FALSE(advisor.IsLoaded());
    EXPECT_EQ(advisor.unloads, 2);
}

TEST_F(ConsoleFormTest, AModalFormReturnsWhenAButtonUnloadsIt) {
    Start("1\n");
    AdvisorForm owner(*ui);
    AdvisorForm modal(*ui);
    ui->Load(owner);
    ui->Show(modal, ShowMode::Modal, &owner);
    EXPECT_EQ(modal.picked, "yes;");
    EXPECT_EQ(owner.picked, "");
    EXPECT_TRUE(owner.IsLoaded());
}

TEST_F(ConsoleFormTest, AFormWithATextBoxIsShownNowAndClosesAtTheEndOfInput) {
    Start("");
    Form form(*ui, "frmOptions", CaptionOnly("Kestrow 2005"));
    TextBox txtName(form, "txtName", {225, 2235, 8145, 315}, 0, 50);
    EXPECT_NO_THROW(ui->Show(form));
    ui->Run();
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_NE(terminal->Shown().find("  t) Name: []\n"), std::string::npos);
}

// The options dialog's shape, smaller: a name, two frames of two options,
// and buttons whose handlers read and reset the state.
class NameForm : public Form {
  public:
    explicit NameForm(UserInterface& ui)
        : Form(ui, "frmOptions", CaptionOnly("Kestrow 2005")),
          txtName(*this, "txtName", {225, 2235, 8145, 315}, 0, 10),
          fraTree(*this, "fraTree", {240, 3615, 3225, 1470}, 1, "Folder tree"),
          optAll(*this, &fraTree, "optAll", {240, 405, 2475, 270}, 2, "Show &all folders", true),
          optSub(*this, &fraTree, "optSub", {240, 930, 2475, 270}, 3, "Show subfolders only",
                 false),
          fraSize(*this, "fraSize", {3720, 3615, 3225, 1470}, 4, "Window size"),
          optMax(*this, &fraSize, "optMax", {240, 405, 2460, 270}, 5, "Maximized", true),
          optNormal(*this, &fraSize, "optNormal", {240, 930, 2460, 270}, 6, "Normal", false),
          cmdOK(*this, nullptr, "cmdOK", {7230, 3705, 1140, 345}, 7, "OK"),
          cmdReset(*this, nullptr, "cmdReset", {7230, 4779, 1140, 345}, 8, "Reset"),
          lblPathInfo(*this, nullptr, "lblPathInfo", {225, 285, 8160, 1275}, 9, "") {
        cmdOK.OnClick = [this] {
            seen += std::string(optAll.Value() ? "all" : "") + (optSub.Value() ? "sub" : "") + "," +
                    (optMax.Value() ? "max" : "") + (optNormal.Value() ? "normal" : "") + "," +
                    txtName.Text() + ";";
        };
        cmdReset.OnClick = [this] {
            optAll.SetValue(true);
            txtName.SetText("Trips");
        };
        optSub.OnClick = [this] { ++subClicks; };
    }
    void Form_Load() override {
        txtName.SetText("Trips");
        lblPathInfo.SetCaption("Kestrow will create a shortcut to the folder\r\n\r\n/home/ann");
    }
    void Form_Unload() override { ++unloads; }

    TextBox txtName;
    Frame fraTree;
    OptionButton optAll, optSub;
    Frame fraSize;
    OptionButton optMax, optNormal;
    CommandButton cmdOK, cmdReset;
    Label lblPathInfo;
    std::string seen;
    int subClicks = 0;
    int unloads = 0;
};

TEST_F(ConsoleFormTest, OptionsAndTheNameAreSetByCommandsAndShownAgain) {
    // A name of 12 characters, 13 bytes: the box keeps 10 characters.
    Start("b\nt Caf\xC3\xA9 Fl\xC3\xB6te 26\n1\n");
    NameForm form(*ui);
    ui->Show(form);
    ui->Run();
    EXPECT_EQ(form.seen, "sub,max,Caf\xC3\xA9 Fl\xC3\xB6te;")
        << "the other frame keeps its choice; the name is cut by characters";
    EXPECT_EQ(form.subClicks, 1);
    EXPECT_FALSE(form.IsLoaded()) << "end of input closes it";
    EXPECT_EQ(form.unloads, 1);

    const std::string shown = terminal->Shown();
    EXPECT_NE(shown.find("== Kestrow 2005 ==\n"
                         "Kestrow will create a shortcut to the folder\n\n/home/ann\n"
                         "  t) Name: [Trips]\n"
                         "-- Folder tree --\n"
                         "    a) (*) Show all folders\n"
                         "    b) ( ) Show subfolders only\n"
                         "-- Window size --\n"
                         "    c) (*) Maximized\n"
                         "    d) ( ) Normal\n"
                         "  1) OK\n  2) Reset\n  0) Close\n"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("Commands: 1-2 click, a-d choose, t TEXT"), std::string::npos);
    EXPECT_NE(shown.find("    a) ( ) Show all folders\n    b) (*) Show subfolders only\n"
                         "-- Window size --\n    c) (*) Maximized\n"),
              std::string::npos);
    EXPECT_NE(shown.find("At most 10 characters fit in Name.\n"), std::string::npos);
    EXPECT_NE(shown.find("  t) Name: [Caf\xC3\xA9 Fl\xC3\xB6te]\n"), std::string::npos);
}

TEST_F(ConsoleFormTest, TheNameCanBeAskedForEmptiedOrKeptAndBadCommandsAreAskedAgain) {
    Start("t\nSki\n1\nt\n\n1\nt \n1\nz\nb please\nT1 x\n2\n1\nb\nb\n0\n");
    NameForm form(*ui);
    ui->Show(form);
    ui->Run();
    EXPECT_EQ(form.seen, "all,max,Ski;all,max,Ski;all,max,;all,max,Trips;")
        << "asked, kept on Enter, emptied by \"t \", reset by the handler";
    EXPECT_EQ(form.subClicks, 1) << "choosing the option that is on already changes nothing";
    EXPECT_TRUE(form.optSub.Value());
    EXPECT_EQ(form.unloads, 1);
    EXPECT_NE(terminal->Shown().find("New text for Name (Enter: keep it): "), std::string::npos);
}

TEST_F(ConsoleFormTest, SeveralTextBoxesAreNumbered) {
    Start("t2 there\n");
    Form form(*ui, "frmTwo", CaptionOnly("Two"));
    TextBox txtFirst(form, "txtFirst", {0, 0, 100, 100}, 0, 0);
    TextBox txtSecond(form, "txtSecond", {0, 200, 100, 100}, 1, 0);
    ui->Show(form);
    ui->Run();
    EXPECT_EQ(txtFirst.Text(), "");
    EXPECT_EQ(txtSecond.Text(), "there");
    EXPECT_NE(terminal->Shown().find("  t1) First: []\n  t2) Second: []\n"), std::string::npos);
}

// The About box's shape: everything lies in a picture box, a link label
// acts on a click, and key preview is on.
class AboutForm : public Form {
  public:
    static FormStyle Style() {
        FormStyle style = CaptionOnly("About Kestrow 2005");
        style.keyPreview = true;
        return style;
    }
    explicit AboutForm(UserInterface& ui)
        : Form(ui, "frmAbout", Style()),
          picInfo(*this, "picInfo", {563, 540, 7305, 4740}, 1, "pictures/about.jpg"),
          lblTitle(*this, &picInfo, "lblTitle", {1530, 255, 4230, 315}, 2, "Kestrow 2005"),
          lblLink(*this, &picInfo, "lblLink", {2505, 1590, 2295, 195}, 6, "http://x.example/"),
          lblCopyright(*this, &picInfo, "lblCopyright", {1290, 960, 4710, 195}, 4,
                       "Copyright \u00a9 2005"),
          cmdOK(*this, &picInfo, "cmdOK", {3075, 3690, 1140, 345}, 0, "OK") {
        lblLink.OnClick = [this] { ++links; };
        cmdOK.OnClick = [this] { Ui().Unload(*this); };
    }
    PictureBox picInfo;
    Label lblTitle, lblLink, lblCopyright;
    CommandButton cmdOK;
    int links = 0;
};

TEST_F(ConsoleFormTest, AModalBoxShowsTheLabelsInItsPictureBoxAndOffersItsLink) {
    Start("2\n1\n1\n");
    NameForm owner(*ui);
    AboutForm about(*ui);
    ui->Show(owner);
    ui->Show(about, ShowMode::Modal, &owner);
    EXPECT_EQ(about.links, 1);
    EXPECT_FALSE(about.IsLoaded());
    EXPECT_TRUE(owner.IsLoaded()) << "the owner waits for its own commands";
    EXPECT_EQ(owner.seen, "");
    ui->Run();
    EXPECT_EQ(owner.seen, "all,max,Trips;") << "the next command went to the owner";
    EXPECT_NE(terminal->Shown().find("== About Kestrow 2005 ==\nKestrow 2005\n"
                                     "Copyright \u00a9 2005\n  1) OK\n  2) http://x.example/\n"),
              std::string::npos)
        << terminal->Shown();
}

TEST(ConsoleFolderBrowser, AsksForAnExistingFolderAndCancelsOnEmptyInput) {
    const testing::TestFolder folder;
    ScriptedTerminal terminal("/no/such/folder\n" + folder.Path() + "/.\n\n");
    ConsoleBackend backend(terminal.Terminal());
    EXPECT_EQ(backend.BrowseForFolder("Select a folder you need a shortcut to"), folder.Path());
    EXPECT_EQ(backend.BrowseForFolder("Select a folder you need a shortcut to"), "");
    EXPECT_EQ(backend.BrowseForFolder("Select a folder you need a shortcut to"), "") << "EOF";
    const std::string shown = terminal.Shown();
    EXPECT_NE(shown.find("Select a folder you need a shortcut to\n"), std::string::npos);
    EXPECT_NE(shown.find("There is no folder /no/such/folder"), std::string::npos);
}

}  // namespace
}  // namespace platform::posix
