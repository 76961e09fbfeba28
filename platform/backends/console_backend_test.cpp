#include "backends/console_backend.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "forms/form.h"
#include "forms/message_box.h"
#include "forms/user_interface.h"
#include "platform_error.h"

namespace platform {
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
    EXPECT_EQ(backend.MessageBox("Replace it?", 0x24, "Kestrow"), kIdNo);
    EXPECT_EQ(backend.MessageBox("Replace it?", 0x24, "Kestrow"), kIdYes) << "Enter: Yes";
    EXPECT_EQ(backend.MessageBox("Replace it?", 0x124, "Kestrow"), kIdYes) << "asked again";
    EXPECT_EQ(backend.MessageBox("Replace it?", 0x124, "Kestrow"), kIdNo) << "MB_DEFBUTTON2";
    const std::string shown = terminal.Shown();
    EXPECT_NE(shown.find("[Kestrow]\nReplace it?\n[Y]es/[N]o (Enter: Yes)? "), std::string::npos);
    EXPECT_NE(shown.find("(Enter: No)"), std::string::npos);
}

TEST(ConsoleMessageBox, EndOfInputGivesTheAnswerThatChangesNothing) {
    ScriptedTerminal terminal("");
    ConsoleBackend backend(terminal.Terminal());
    EXPECT_EQ(backend.MessageBox("Replace it?", 0x24, "Kestrow"), kIdNo);
    EXPECT_EQ(backend.MessageBox("Go on?", 0x01, "Kestrow"), kIdCancel);
    EXPECT_EQ(backend.MessageBox("You did not enter a name", 0x30, "Kestrow"), kIdOk);
    EXPECT_NE(terminal.Shown().find("Warning: You did not enter a name"), std::string::npos);
}

TEST(ConsoleMessageBox, WorksOnARealPseudoTerminal) {
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const std::string typed = "c\n";
    ASSERT_EQ(::write(master, typed.data(), typed.size()), 2);
    {
        ConsoleBackend backend({slave, slave, false});
        EXPECT_EQ(backend.MessageBox("Create it?", 0x01, "Kestrow"), kIdCancel);
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
        if (backend.MessageBox("A shortcut called Music already exists.", 0x24, "Kestrow") !=
            kIdNo) {
            ::_exit(11);
        }
        if (backend.MessageBox("Go on?", 0x01, "Kestrow") != kIdCancel) ::_exit(12);
        if (backend.MessageBox("Unexpected error.", 0x10, "Kestrow") != kIdOk) ::_exit(13);
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
    EXPECT_THROW(backend.OpenHelpWindow("Help", "<p/>", {}), PlatformError);
    EXPECT_NO_THROW(backend.CloseHelpWindows());
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

TEST_F(ConsoleFormTest, AFormThatNeedsInputIsRefusedWithAClearError) {
    Start("");
    Form form(*ui, "frmOptions", CaptionOnly("Kestrow 2005"));
    TextBox txtName(form, "txtName", {225, 2235, 8145, 315}, 0, 50);
    try {
        ui->Show(form);
        ADD_FAILURE() << "the options dialog was shown on a terminal";
    } catch (const PlatformError& error) {
        EXPECT_STREQ(error.what(), "this dialog needs a display");
    }
    ui->Unload(form);
}

TEST(ConsoleFolderBrowser, AsksForAnExistingFolderAndCancelsOnEmptyInput) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kestrow-browse-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ScriptedTerminal terminal("/no/such/folder\n" + folder.string() + "/.\n\n");
    ConsoleBackend backend(terminal.Terminal());
    EXPECT_EQ(backend.BrowseForFolder("Select a folder you need a shortcut to"), folder.string());
    EXPECT_EQ(backend.BrowseForFolder("Select a folder you need a shortcut to"), "");
    EXPECT_EQ(backend.BrowseForFolder("Select a folder you need a shortcut to"), "") << "EOF";
    const std::string shown = terminal.Shown();
    EXPECT_NE(shown.find("Select a folder you need a shortcut to\n"), std::string::npos);
    EXPECT_NE(shown.find("There is no folder /no/such/folder"), std::string::npos);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace platform
