// The backend with real windows: a dialog shaped like the programs' option
// dialogs, worked by the keyboard and by clicks as a user works it.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/help_windows.h"
#include "platform/forms/message_box.h"
#include "platform/forms/user_interface.h"
#include "platform/platform_error.h"
#include "platform/text/text.h"
#include "platform/win32/forms/win32_backend.h"
#include "platform/win32/forms/win32_form_view.h"
#include "platform/win32/forms/win32_forms_backend.h"
#include "platform/win32/forms/win32_units.h"
#include "platform/win32/forms/win32_window_test_support.h"
#include "platform/win32/wide_text.h"

// clang-format off
#include "platform/win32/windows_api.h"
#include <commctrl.h>
// clang-format on

namespace platform::win32 {
namespace {

using namespace platform::forms;
using testing::MessageBoxAnswerer;
using testing::PressKey;
using testing::Pump;

constexpr int kEscape = 27;

class AboutLike : public Form {
  public:
    explicit AboutLike(UserInterface& ui) : Form(ui, "frmAboutLike", Style()) {
        cmdOK.OnClick = [this] { Ui().Unload(*this); };
    }
    static FormStyle Style() {
        FormStyle style = DialogBoxStyle("About Test", 4000, 2000, StartUpPosition::CenterOwner);
        style.keyPreview = true;
        return style;
    }
    void Form_KeyDown(int keyCode, int) override {
        keys.push_back(keyCode);
        if (keyCode == kEscape) Ui().Unload(*this);
    }
    std::vector<int> keys;
    PictureBox picInfo{*this, "picInfo", {200, 200, 3600, 1000}, 1, "pictures/about.jpg"};
    Label lblLink{*this, &picInfo, "lblLink", {100, 100, 2000, 195}, 2, "http://example.test/"};
    CommandButton cmdOK{*this, nullptr, "cmdOK", {1400, 1400, 1140, 345}, 0, "OK"};
};

class TestDialog : public Form {
  public:
    explicit TestDialog(UserInterface& ui) : Form(ui, "frmTest", Style()), about(ui) {
        cmdOK.OnClick = [this] { clicks.push_back("cmdOK"); };
        cmdCancel.OnClick = [this] { Ui().Unload(*this); };
        cmdAbout.OnClick = [this] { Ui().Show(about, ShowMode::Modal, this); };
        cmdFail.OnClick = [] { throw std::runtime_error("handler failed"); };
        optA2.OnClick = [this] { clicks.push_back("optA2"); };
    }
    static FormStyle Style() {
        return MainWindowStyle("Kestrow Test \xE2\x82\xAC", 8580, 4500, "kestrow");
    }
    void Form_Activate() override {
        ++activations;
        txtName.SetFocus();
        txtName.SetSelection(0, static_cast<int>(txtName.Text().size()));
    }
    void Form_Unload() override { ++unloads; }

    int activations = 0;
    int unloads = 0;
    std::vector<std::string> clicks;
    AboutLike about;

    TextBox txtName{*this, "txtName", {225, 300, 8145, 315}, 0, 50};
    Frame fraA{*this, "fraA", {240, 900, 3225, 1470}, 1, "Folder tree"};
    OptionButton optA1{*this, &fraA, "optA1", {240, 405, 2475, 270}, 2, "Show all folders", true};
    OptionButton optA2{*this, &fraA, "optA2", {240, 930, 2475, 270}, 3, "Show subfolders only",
                       false};
    Frame fraB{*this, "fraB", {3720, 900, 3225, 1470}, 4, "Window size"};
    OptionButton optB1{*this, &fraB, "optB1", {240, 405, 2460, 270}, 5, "Maximized", true};
    OptionButton optB2{*this, &fraB, "optB2", {240, 930, 2460, 270}, 6, "Normal", false};
    CommandButton cmdOK{*this,
                        nullptr,
                        "cmdOK",
                        {7230, 900, 1140, 345},
                        7,
                        "OK",
                        "Click here to create the shortcut and exit"};
    CommandButton cmdCancel{*this, nullptr, "cmdCancel", {7230, 1437, 1140, 345}, 8, "Cancel"};
    CommandButton cmdAbout{*this, nullptr, "cmdAbout", {7230, 1974, 1140, 345}, 9, "About..."};
    CommandButton cmdFail{*this, nullptr, "cmdFail", {7230, 2511, 1140, 345}, 10, "Fail"};
    Label lblInfo{*this, nullptr, "lblInfo", {225, 2700, 6000, 600}, 11, "Path: C:\\A & B"};
};

class Win32WindowTest : public ::testing::Test {
  protected:
    UserInterface ui{[] { return MakeWin32FormsBackend(); }};
    TestDialog dialog{ui};

    Win32FormView& View(Form& form) { return *dynamic_cast<Win32FormView*>(form.View()); }
    HWND WindowOf(Form& form, const Control& control) { return View(form).WindowOf(control); }
    std::string FocusedName(Form& form) {
        Control* control = View(form).ControlOf(GetFocus());
        return control ? control->Name() : "(none)";
    }
    bool Checked(const OptionButton& option) {
        return SendMessageW(WindowOf(dialog, option), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void ShowDialog() {
        dialog.txtName.SetText("Projects");
        ui.Show(dialog);
        Pump(ui, 100);
    }
};

TEST_F(Win32WindowTest, ControlsStandWhereTheTableSaysInTheDialogFont) {
    ShowDialog();
    HWND window = View(dialog).Window();
    EXPECT_EQ(testing::TextOf(window), L"Kestrow Test \u20ac");
    RECT client;
    GetClientRect(window, &client);
    const int dpi = View(dialog).Dpi();
    EXPECT_EQ(client.right, MulDiv(8580, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(4500, dpi, 1440));

    RECT option;
    GetWindowRect(WindowOf(dialog, dialog.optB2), &option);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&option), 2);
    EXPECT_EQ(option.left, MulDiv(3720 + 240, dpi, 1440));
    EXPECT_EQ(option.top, MulDiv(900 + 930, dpi, 1440));

    LOGFONTW font{};
    GetObjectW(
        reinterpret_cast<HFONT>(SendMessageW(WindowOf(dialog, dialog.optA1), WM_GETFONT, 0, 0)),
        sizeof(font), &font);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    // A path's '&' is shown, not taken as a mnemonic.
    EXPECT_TRUE(GetWindowLongW(WindowOf(dialog, dialog.lblInfo), GWL_STYLE) & SS_NOPREFIX);
    // Fixed border, minimize box, no maximize box; the program's icon.
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    testing::SaveScreenshot(window, "test-dialog");
}

BOOL CALLBACK FindToolTipOf(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<std::pair<HWND, HWND>*>(context);
    if (testing::ClassOf(window) != TOOLTIPS_CLASSW ||
        GetWindow(window, GW_OWNER) != search->first) {
        return TRUE;
    }
    search->second = window;
    return FALSE;
}

std::wstring ToolTipOf(HWND dialog, HWND control) {
    std::pair<HWND, HWND> search{dialog, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindToolTipOf, reinterpret_cast<LPARAM>(&search));
    if (!search.second) return L"(no tool tip window)";
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(search.second, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST_F(Win32WindowTest, ToolTipsAndTheLinkCursorFollowTheModel) {
    ShowDialog();
    HWND window = View(dialog).Window();
    EXPECT_EQ(ToolTipOf(window, WindowOf(dialog, dialog.cmdOK)),
              L"Click here to create the shortcut and exit");
    EXPECT_EQ(ToolTipOf(window, WindowOf(dialog, dialog.cmdCancel)), L"");
    dialog.cmdCancel.SetToolTipText("Click here to exit");
    EXPECT_EQ(ToolTipOf(window, WindowOf(dialog, dialog.cmdCancel)), L"Click here to exit");

    // Over a link label the pointer is the hand.
    dialog.lblInfo.SetPointer(MousePointer::PointingHand);
    HWND label = WindowOf(dialog, dialog.lblInfo);
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(label),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(WindowOf(dialog, dialog.cmdOK)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
}

TEST_F(Win32WindowTest, TabWalksTheTableOrderEnteringEachFrameAtItsChosenOption) {
    ShowDialog();
    dialog.optB2.SetValue(true);
    EXPECT_EQ(FocusedName(dialog), "txtName");
    std::vector<std::string> visited;
    for (int i = 0; i < 7; ++i) {
        PressKey(ui, VK_TAB);
        visited.push_back(FocusedName(dialog));
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"optA1", "optB2", "cmdOK", "cmdCancel", "cmdAbout",
                                                 "cmdFail", "txtName"}));
    // The model follows the real focus.
    EXPECT_EQ(dialog.ActiveControl(), &dialog.txtName);
}

TEST_F(Win32WindowTest, OptionsGroupByFrame) {
    ShowDialog();
    SendMessageW(WindowOf(dialog, dialog.optA2), BM_CLICK, 0, 0);
    Pump(ui);
    EXPECT_TRUE(dialog.optA2.Value());
    EXPECT_FALSE(dialog.optA1.Value());
    EXPECT_FALSE(Checked(dialog.optA1));
    // The other frame keeps its choice.
    EXPECT_TRUE(dialog.optB1.Value());
    EXPECT_TRUE(Checked(dialog.optB1));
    EXPECT_EQ(dialog.clicks, std::vector<std::string>{"optA2"});

    // Arrows move within a frame and choose as they go; they never leave it.
    dialog.optB1.SetFocus();
    Pump(ui);
    PressKey(ui, VK_DOWN);
    EXPECT_EQ(FocusedName(dialog), "optB2");
    EXPECT_TRUE(dialog.optB2.Value());
    EXPECT_FALSE(dialog.optB1.Value());
    EXPECT_TRUE(dialog.optA2.Value());

    // The model's choice shows in the controls.
    dialog.optA1.SetValue(true);
    EXPECT_TRUE(Checked(dialog.optA1));
    EXPECT_FALSE(Checked(dialog.optA2));
}

TEST_F(Win32WindowTest, TextBoxKeepsItsMaximumAndSelectionInCharacters) {
    ShowDialog();
    HWND edit = WindowOf(dialog, dialog.txtName);
    // Form_Activate selected the whole name; typing replaces it.
    EXPECT_EQ(dialog.txtName.SelLength(), 8);
    SendMessageW(edit, EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(L"\xD83D\xDE00"
                                          L"0123456789012345678901234567890123456789"
                                          L"0123456789012345678901234567890"));
    Pump(ui);
    EXPECT_EQ(text::Length(dialog.txtName.Text()), 50u);
    EXPECT_EQ(dialog.txtName.Text().substr(0, 4), "\xF0\x9F\x98\x80");
    EXPECT_EQ(dialog.txtName.SelStart(), 50);

    dialog.txtName.SetText("My \xC3\xA9 Data");
    dialog.txtName.SetSelection(3, 1);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u);
    EXPECT_EQ(end, 4u);
    EXPECT_EQ(dialog.txtName.SelectedText(), "\xC3\xA9");
}

TEST_F(Win32WindowTest, EnterPressesOnlyTheFocusedButtonAndEscapeNothing) {
    ShowDialog();
    PressKey(ui, VK_RETURN);  // in the text box: no default button
    PressKey(ui, VK_ESCAPE);  // no cancel button
    EXPECT_TRUE(dialog.clicks.empty());
    EXPECT_TRUE(dialog.IsLoaded());

    dialog.cmdOK.SetFocus();
    Pump(ui);
    PressKey(ui, VK_RETURN);
    EXPECT_EQ(dialog.clicks, std::vector<std::string>{"cmdOK"});
    PressKey(ui, VK_SPACE);
    EXPECT_EQ(dialog.clicks, (std::vector<std::string>{"cmdOK", "cmdOK"}));
    // The button that last had the focus does not stay the default.
    PressKey(ui, VK_TAB);
    dialog.txtName.SetFocus();
    Pump(ui);
    PressKey(ui, VK_RETURN);
    EXPECT_EQ(dialog.clicks.size(), 2u);
}

// Looks at the program while a modal form's loop runs, then presses keys.
struct ModalProbe {
    TestDialog* dialog = nullptr;
    HWND owner = nullptr;
    bool aboutShown = false;
    bool ownerDisabled = false;
};
ModalProbe* activeProbe = nullptr;

void CALLBACK ProbeModalForm(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    activeProbe->aboutShown = activeProbe->dialog->about.IsLoaded();
    activeProbe->ownerDisabled = !IsWindowEnabled(activeProbe->owner);
    testing::SaveScreenshot(GetActiveWindow(), "test-modal-child");
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, 'A', 1);
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1);
}

TEST_F(Win32WindowTest, ModalChildHoldsItsOwnerAndActivatesItAgainWhenClosed) {
    ShowDialog();
    ASSERT_EQ(dialog.activations, 1);
    ModalProbe probe;
    probe.dialog = &dialog;
    probe.owner = View(dialog).Window();
    activeProbe = &probe;
    SetTimer(nullptr, 0, 200, ProbeModalForm);
    // Returns only when the About box is gone.
    SendMessageW(WindowOf(dialog, dialog.cmdAbout), BM_CLICK, 0, 0);
    activeProbe = nullptr;
    EXPECT_TRUE(probe.aboutShown);
    EXPECT_TRUE(probe.ownerDisabled);
    // Key preview saw both keys; only Escape closed the box.
    EXPECT_EQ(dialog.about.keys, (std::vector<int>{'A', kEscape}));
    EXPECT_FALSE(dialog.about.IsLoaded());
    EXPECT_EQ(dialog.activations, 2);
    EXPECT_TRUE(IsWindowEnabled(probe.owner));
    EXPECT_EQ(FocusedName(dialog), "txtName");
}

TEST_F(Win32WindowTest, CloseBoxUnloadsOnceAndTheLoopEnds) {
    ShowDialog();
    PostMessageW(View(dialog).Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ui.Run();  // returns only when no form is left
    EXPECT_FALSE(dialog.IsLoaded());
    EXPECT_EQ(dialog.unloads, 1);
}

TEST_F(Win32WindowTest, MessageBoxShowsItsTextAndReturnsTheButtonPressed) {
    ShowDialog();
    MessageBoxAnswerer answerer(L"Kestrow", kIdNo);
    const int answer =
        ui.MsgBox("A shortcut called M\xC3\xBCnchen already exists. Do you want to replace it?",
                  kMbYesNo | kMbIconQuestion, "Kestrow");
    const testing::AnsweredBox box = answerer.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(answer, kIdNo);
    EXPECT_EQ(box.text,
              L"A shortcut called M\u00fcnchen already exists. Do you want to replace it?");
    // The dialog is usable again.
    EXPECT_TRUE(IsWindowEnabled(View(dialog).Window()));
}

TEST_F(Win32WindowTest, FailureInAHandlerComesOutOfTheLoopInsteadOfEndingTheProcess) {
    ShowDialog();
    PostMessageW(WindowOf(dialog, dialog.cmdFail), BM_CLICK, 0, 0);
    EXPECT_THROW(ui.Run(), std::runtime_error);
    EXPECT_TRUE(dialog.IsLoaded());
}

TEST_F(Win32WindowTest, DoEventsRunsWhatIsPending) {
    ShowDialog();
    PostMessageW(WindowOf(dialog, dialog.cmdOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(dialog.clicks.empty());
    ui.DoEvents();
    EXPECT_EQ(dialog.clicks, std::vector<std::string>{"cmdOK"});
}

struct BrowserSearch {
    std::wstring instruction;
    HWND found = nullptr;
};

BOOL CALLBACK FindInstruction(HWND child, LPARAM context) {
    auto* search = reinterpret_cast<BrowserSearch*>(context);
    if (testing::TextOf(child) != search->instruction) return TRUE;
    search->found = GetAncestor(child, GA_ROOT);
    return FALSE;
}

BOOL CALLBACK FindBrowser(HWND window, LPARAM context) {
    if (IsWindowVisible(window)) EnumChildWindows(window, FindInstruction, context);
    return reinterpret_cast<BrowserSearch*>(context)->found ? FALSE : TRUE;
}

// Waits for the folder browser showing the instruction and presses button
// in it, as a user would; false when no browser came.
bool PressInFolderBrowser(const std::wstring& instruction, int button) {
    for (int tries = 0; tries < 500; ++tries) {
        BrowserSearch search{instruction};
        EnumWindows(FindBrowser, reinterpret_cast<LPARAM>(&search));
        if (search.found && IsWindowEnabled(GetDlgItem(search.found, button))) {
            Sleep(100);  // let it finish filling its tree
            if (button == IDOK) testing::SaveScreenshot(search.found, "folder-browser");
            PostMessageW(search.found, WM_COMMAND, button, 0);
            return true;
        }
        Sleep(20);
    }
    return false;
}

TEST_F(Win32WindowTest, FolderBrowserShowsTheInstructionAndReturnsTheChosenFolder) {
    const std::string instruction = "Select a folder you need a shortcut to";
    bool seen = false;
    std::thread cancel([&] { seen = PressInFolderBrowser(Wide(instruction), IDCANCEL); });
    EXPECT_EQ(ui.Backend().BrowseForFolder(instruction), "");
    cancel.join();
    EXPECT_TRUE(seen);

    // It starts at the desktop, which is a folder of the file system.
    std::thread ok([&] { seen = PressInFolderBrowser(Wide(instruction), IDOK); });
    const std::string chosen = ui.Backend().BrowseForFolder(instruction);
    ok.join();
    EXPECT_TRUE(seen);
    wchar_t profile[MAX_PATH] = {};
    GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
    EXPECT_EQ(chosen, Utf8(profile) + "\\Desktop");
}

TEST_F(Win32WindowTest, HelpWindowsAreLeftToHtmlHelp) {
    EXPECT_EQ(dynamic_cast<HelpWindows*>(&ui.Backend()), nullptr);
}

}  // namespace
}  // namespace platform::win32
