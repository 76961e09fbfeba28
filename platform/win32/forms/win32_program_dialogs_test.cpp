// Both programs' dialogs in real windows on the Win32 platform: the real
// registry of the test's Wine prefix, the shell's Start Menu and shortcut
// object, worked by clicks and typing as a user works them.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "defaults-editor/frm_options.h"
#include "defaults-editor/mod_main.h"
#include "platform/forms/message_box.h"
#include "platform/platform.h"
#include "platform/testing/answered_folder_browser.h"
#include "platform/testing/stub_platform.h"
#include "platform/text/text.h"
#include "platform/win32/forms/win32_form_view.h"
#include "platform/win32/forms/win32_forms_backend.h"
#include "platform/win32/forms/win32_window_test_support.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "settings/shortcut_settings.h"
#include "shortcut-maker/frm_about.h"
#include "shortcut-maker/frm_options.h"
#include "shortcut-maker/frm_start_menu_setting.h"
#include "shortcut-maker/mod_main.h"

// After <windows.h>, which it needs.
#include <sddl.h>

namespace platform::win32 {
namespace {

namespace fs = std::filesystem;
using namespace platform::forms;
using testing::MessageBoxAnswerer;
using testing::Pump;

const wchar_t kSettingsKeyW[] = L"Software\\Tamsholt\\Kestrow 2005";

// The instance check has tests of its own with two processes; here every
// test is a fresh first instance.
class FirstInstance : public InstanceCheck {
  public:
    bool PreviousInstanceRunning(const std::string&) override { return false; }
};

DWORD ReadDword(const wchar_t* key, const wchar_t* name, DWORD missing = 0xFFFFFFFF) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return missing;
    }
    return value;
}

void WriteDword(const wchar_t* key, const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof(value));
}

void WriteString(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void StoreDefaults(DWORD allFolders, DWORD sideMenu, DWORD twoPane, DWORD maximized) {
    WriteDword(kSettingsKeyW, L"AllFolders", allFolders);
    WriteDword(kSettingsKeyW, L"SideMenu", sideMenu);
    WriteDword(kSettingsKeyW, L"TwoPane", twoPane);
    WriteDword(kSettingsKeyW, L"Maximized", maximized);
}

std::vector<DWORD> StoredDefaults() {
    return {ReadDword(kSettingsKeyW, L"AllFolders"), ReadDword(kSettingsKeyW, L"SideMenu"),
            ReadDword(kSettingsKeyW, L"TwoPane"), ReadDword(kSettingsKeyW, L"Maximized")};
}

fs::path StartMenu() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, path);
    return fs::path(path);
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Win32FormView& ViewOf(Form& form) { return *dynamic_cast<Win32FormView*>(form.View()); }

void Click(Form& form, const Control& control) {
    SendMessageW(ViewOf(form).WindowOf(control), BM_CLICK, 0, 0);
}

// Types into a text box as a user does: select all, then replace.
void TypeInto(Form& form, const TextBox& box, const std::wstring& typed) {
    HWND edit = ViewOf(form).WindowOf(box);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed.c_str()));
}

// Every caption fits its control in the control's own font at the screen's
// dpi: on one line, or for a label that wraps, within its height.
void ExpectCaptionsFit(Form& form) {
    const int dpi = ViewOf(form).Dpi();
    HDC dc = GetDC(ViewOf(form).Window());
    for (Control* control : form.Controls()) {
        HWND window = ViewOf(form).WindowOf(*control);
        if (control->Caption().empty() || control->Kind() == ControlKind::TextBox ||
            control->Kind() == ControlKind::PictureBox) {
            continue;
        }
        RECT box;
        GetClientRect(window, &box);
        int room = box.right;
        // The option's round button and its gap, and a button's edges.
        if (control->Kind() == ControlKind::OptionButton) room -= MulDiv(13 + 6, dpi, 96);
        if (control->Kind() == ControlKind::CommandButton) room -= MulDiv(6, dpi, 96);
        const HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
        const std::wstring caption = testing::TextOf(window);
        RECT needed{0, 0, room, 0};
        const bool wraps = control->Kind() == ControlKind::Label && control->WordWrap();
        DrawTextW(dc, caption.c_str(), -1, &needed,
                  DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, old);
        EXPECT_LE(needed.right, room) << control->Name() << " at " << dpi << " dpi";
        EXPECT_LE(needed.bottom, box.bottom) << control->Name() << " at " << dpi << " dpi";
    }
    ReleaseDC(ViewOf(form).Window(), dc);
}

class DefaultsEditorDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        platform_ = MakeWin32Platform();
        platform_.instances = std::make_unique<FirstInstance>();
        program_ = std::make_unique<defaults_editor::modMain>(platform_);
    }
    void TearDown() override {
        program_.reset();
        platform_ = platform::testing::StubPlatform();
    }
    defaults_editor::frmOptions& Dialog() { return program_->Options(); }

    // Starts the program over these stored defaults; its dialog is up on return.
    defaults_editor::frmOptions& Start(DWORD allFolders, DWORD sideMenu, DWORD twoPane,
                                       DWORD maximized) {
        StoreDefaults(allFolders, sideMenu, twoPane, maximized);
        program_->Main();
        Pump(*platform_.ui, 100);
        return Dialog();
    }
    // Runs the program to its end, which comes when the dialog goes.
    void RunToTheEnd() {
        platform_.ui->Run();
        EXPECT_FALSE(Dialog().IsLoaded());
    }

    Platform platform_ = platform::testing::StubPlatform();
    std::unique_ptr<defaults_editor::modMain> program_;
};

TEST_F(DefaultsEditorDialog, OkStoresTheShownChoicesAndEnds) {
    auto& dialog = Start(1, 1, 1, 1);
    testing::SaveScreenshot(ViewOf(dialog).Window(), "defaults-editor");
    ExpectCaptionsFit(dialog);
    Click(dialog, dialog.optSubfoldersOnly);
    Click(dialog, dialog.optNormal);
    EXPECT_EQ(StoredDefaults(), (std::vector<DWORD>{1, 1, 1, 1}));
    Click(dialog, dialog.cmdOK);
    RunToTheEnd();
    EXPECT_EQ(StoredDefaults(), (std::vector<DWORD>{0, 1, 1, 0}));
}

TEST_F(DefaultsEditorDialog, ResetShowsTheStoredChoicesAgainAndCancelStoresNothing) {
    auto& dialog = Start(0, 1, 0, 1);
    EXPECT_TRUE(dialog.optSubfoldersOnly.Value());
    Click(dialog, dialog.optAllFolders);
    Click(dialog, dialog.optStartMenu);
    EXPECT_TRUE(dialog.optStartMenu.Value());

    // Another program changes the defaults meanwhile: Reset shows those.
    WriteDword(kSettingsKeyW, L"TwoPane", 1);
    Click(dialog, dialog.cmdReset);
    Pump(*platform_.ui);
    EXPECT_TRUE(dialog.optSubfoldersOnly.Value());
    EXPECT_TRUE(dialog.optSideMenu.Value());
    EXPECT_TRUE(dialog.optTwoPane.Value());
    const HWND sideMenu = ViewOf(dialog).WindowOf(dialog.optSideMenu);
    EXPECT_EQ(SendMessageW(sideMenu, BM_GETCHECK, 0, 0), BST_CHECKED);

    Click(dialog, dialog.optNormal);
    Click(dialog, dialog.cmdCancel);
    RunToTheEnd();
    EXPECT_EQ(StoredDefaults(), (std::vector<DWORD>{0, 1, 1, 1}));
}

TEST_F(DefaultsEditorDialog, CloseBoxStoresNothing) {
    auto& dialog = Start(1, 0, 1, 0);
    Click(dialog, dialog.optSubfoldersOnly);
    PostMessageW(ViewOf(dialog).Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    RunToTheEnd();
    EXPECT_EQ(StoredDefaults(), (std::vector<DWORD>{1, 0, 1, 0}));
}

// The settings key as a policy leaves it on a managed machine: everyone may
// read it and change its permissions back, nobody may write it.
class ReadOnlySettingsKey {
  public:
    ReadOnlySettingsKey() { Protect(L"D:P(A;;KR;;;WD)(A;;WD;;;WD)"); }
    ~ReadOnlySettingsKey() { Protect(L"D:P(A;;KA;;;WD)"); }

  private:
    static void Protect(const wchar_t* sddl) {
        HKEY key = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKeyW, 0, WRITE_DAC, &key),
                  ERROR_SUCCESS);
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                         &descriptor, nullptr));
        EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
        LocalFree(descriptor);
        RegCloseKey(key);
    }
};

TEST_F(DefaultsEditorDialog, AReadOnlyKeyShowsItsChoicesAndARefusedOkKeepsTheDialog) {
    StoreDefaults(0, 1, 1, 0);
    WriteString(kSettingsKeyW, L"SideMenu", L"0");  // every load would rewrite it
    ReadOnlySettingsKey readOnly;
    program_->Main();
    Pump(*platform_.ui, 100);
    auto& dialog = Dialog();
    ASSERT_TRUE(dialog.IsLoaded()) << "the load's refused rewrite is passed over";
    EXPECT_TRUE(dialog.optSubfoldersOnly.Value());
    EXPECT_TRUE(dialog.optStartMenu.Value());
    EXPECT_TRUE(dialog.optNormal.Value());

    Click(dialog, dialog.optMaximized);
    MessageBoxAnswerer answerer(L"Kestrow Default Settings", IDOK);
    Click(dialog, dialog.cmdOK);
    const testing::AnsweredBox box = answerer.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text.find(L"The settings could not be stored in the registry key "
                            L"HKEY_CURRENT_USER\\Software\\Tamsholt\\Kestrow 2005."),
              0u)
        << Utf8(box.text);
    EXPECT_GT(box.text.size(), 90u) << "the system's reason follows";
    Pump(*platform_.ui);
    EXPECT_TRUE(dialog.IsLoaded()) << "the user may try again or cancel";
    EXPECT_TRUE(dialog.optMaximized.Value());
    EXPECT_TRUE(program_->ErrorReported());

    Click(dialog, dialog.cmdCancel);
    RunToTheEnd();
    EXPECT_TRUE(program_->ErrorReported()) << "leaving after the refusal fails the run";
    EXPECT_EQ(ReadDword(kSettingsKeyW, L"Maximized"), 0u);
}

// Direct mode on a key a policy has made read-only: the stored options are
// used and the rewrite of the load is passed over, without a word.
TEST(ShortcutMakerOnAReadOnlyKey, DirectModeWritesTheShortcutWithTheStoredOptions) {
    const fs::path folder = fs::temp_directory_path() / L"Reports";
    const fs::path shortcut = StartMenu() / L"Reports.lnk";
    fs::create_directories(folder);
    fs::remove(shortcut);
    StoreDefaults(1, 0, 1, 1);
    WriteString(kSettingsKeyW, L"AllFolders", L"0");  // every load would rewrite it
    WriteDword(kSettingsKeyW, L"CheckStartMenuDelay", 0);
    {
        ReadOnlySettingsKey readOnly;
        Platform platform = MakeWin32Platform();
        shortcut_maker::modMain program(platform);
        program.Main(folder.string());
        Pump(*platform.ui, 100);
        EXPECT_EQ(program.ExitCode(), 0);
        EXPECT_TRUE(platform.ui->LoadedForms().empty());
    }
    ASSERT_TRUE(fs::is_regular_file(shortcut));
    // The arguments, as the file keeps them: UTF-16LE.
    const std::u16string arguments = u"/e,/root,";
    const std::string stored(reinterpret_cast<const char*>(arguments.data()),
                             arguments.size() * sizeof(char16_t));
    EXPECT_NE(ReadAll(shortcut).find(stored), std::string::npos)
        << "the stored options: two panes, rooted at the folder";
    fs::remove(shortcut);
}

class ShortcutMakerDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / L"Projects";
        fs::create_directories(folder_);
        sideMenu_ = StartMenu() / L"Kestrow";
        fs::remove_all(sideMenu_);
        fs::remove(StartMenu() / L"Projects.lnk");
        StoreDefaults(1, 1, 1, 1);
        // The delay advisor has a test of its own below.
        WriteDword(kSettingsKeyW, L"CheckStartMenuDelay", 0);

        const std::string chosen = folder_.string();
        platform_ = MakeWin32Platform([chosen] {
            return std::make_unique<platform::testing::AnsweredFolderBrowser>(
                MakeWin32FormsBackend(), chosen);
        });
        program_ = std::make_unique<shortcut_maker::modMain>(platform_);
        program_->Main("");
        Pump(*platform_.ui, 100);
        ASSERT_TRUE(Dialog().IsLoaded());
    }
    void TearDown() override {
        program_.reset();
        platform_ = platform::testing::StubPlatform();
        fs::remove_all(sideMenu_);
        fs::remove(StartMenu() / L"Projects.lnk");
    }
    shortcut_maker::frmOptions& Dialog() { return program_->OptionsForm(); }

    // Presses OK while a helper thread answers the message box it shows.
    testing::AnsweredBox OkAnswering(int answer, const std::string& screenshot = {}) {
        MessageBoxAnswerer answerer(L"Kestrow", answer, screenshot);
        Click(Dialog(), Dialog().cmdOK);
        return answerer.Result();
    }
    void ExpectNameSelected(const std::string& name) {
        EXPECT_TRUE(Dialog().IsLoaded());
        EXPECT_EQ(Dialog().txtName.Text(), name);
        EXPECT_TRUE(Dialog().txtName.HasFocus());
        EXPECT_EQ(Dialog().txtName.SelStart(), 0);
        EXPECT_EQ(Dialog().txtName.SelLength(), static_cast<int>(text::Length(name)));
        HWND edit = ViewOf(Dialog()).WindowOf(Dialog().txtName);
        EXPECT_EQ(GetFocus(), edit);
        DWORD start = 1;
        DWORD end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(edit)));
    }

    fs::path folder_;
    fs::path sideMenu_;
    Platform platform_ = platform::testing::StubPlatform();
    std::unique_ptr<shortcut_maker::modMain> program_;
};

TEST_F(ShortcutMakerDialog, OkWritesTheShortcutWithTheShownOptionsAndEnds) {
    testing::SaveScreenshot(ViewOf(Dialog()).Window(), "options-dialog");
    ExpectCaptionsFit(Dialog());
    EXPECT_EQ(Dialog().txtName.Text(), "Projects");
    Click(Dialog(), Dialog().optStartMenu);
    Click(Dialog(), Dialog().optFolderWindow);
    TypeInto(Dialog(), Dialog().txtName, L"  My \u00c9 Data  ");
    Click(Dialog(), Dialog().cmdOK);
    platform_.ui->Run();
    EXPECT_FALSE(Dialog().IsLoaded());
    const fs::path made = StartMenu() / L"My \u00c9 Data.lnk";
    EXPECT_TRUE(fs::exists(made));
    EXPECT_FALSE(fs::exists(sideMenu_ / L"My \u00c9 Data.lnk"));
    // OK never changes the stored defaults.
    EXPECT_EQ(StoredDefaults(), (std::vector<DWORD>{1, 1, 1, 1}));
    EXPECT_EQ(program_->ShortcutArguments, "/n,\"" + folder_.string() + "\"");
    fs::remove(made);
}

TEST_F(ShortcutMakerDialog, EmptyOrForbiddenNamesAreRefusedWithTheNameSelected) {
    TypeInto(Dialog(), Dialog().txtName, L"   ");
    testing::AnsweredBox box = OkAnswering(kIdOk);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, L"You did not enter a name");
    ExpectNameSelected("   ");

    TypeInto(Dialog(), Dialog().txtName, L"a/b\"c");
    box = OkAnswering(kIdOk);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, L"You cannot use the characters \\/:*?\"<>|");
    ExpectNameSelected("a/b\"c");
    EXPECT_FALSE(fs::exists(sideMenu_ / L"Kestrow.lnk"));
}

TEST_F(ShortcutMakerDialog, ReplaceQuestionKeepsTheOldShortcutOnNoAndReplacesItOnYes) {
    fs::create_directories(sideMenu_);
    const fs::path existing = sideMenu_ / L"Projects.lnk";
    std::ofstream(existing, std::ios::binary) << "old shortcut";

    testing::AnsweredBox box = OkAnswering(kIdNo, "replace-question");
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, L"A shortcut called Projects already exists. Do you want to replace it?");
    EXPECT_EQ(ReadAll(existing), "old shortcut");
    ExpectNameSelected("Projects");

    box = OkAnswering(kIdYes);
    ASSERT_TRUE(box.found);
    platform_.ui->Run();
    EXPECT_FALSE(Dialog().IsLoaded());
    const std::string written = ReadAll(existing);
    ASSERT_GE(written.size(), 76u);
    EXPECT_EQ(written.substr(0, 4), std::string("\x4C\0\0\0", 4));  // a shell link header
    EXPECT_TRUE(fs::exists(sideMenu_ / L"Kestrow.lnk"));
}

shortcut_maker::frmOptions* aboutOwner = nullptr;
shortcut_maker::frmAbout* aboutBox = nullptr;
COLORREF aboutPictureCorner = CLR_INVALID;
bool aboutOwnerDisabled = false;

void CALLBACK LookAtAboutBoxThenEscape(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    aboutOwnerDisabled = !IsWindowEnabled(ViewOf(*aboutOwner).Window());
    testing::SaveScreenshot(GetActiveWindow(), "about-box");
    ExpectCaptionsFit(*aboutBox);
    // The picture fills its box at any dpi: no white band at the far corner.
    HWND picture = ViewOf(*aboutBox).WindowOf(aboutBox->picInfo);
    RECT box;
    GetClientRect(picture, &box);
    HDC dc = GetDC(picture);
    aboutPictureCorner = GetPixel(dc, box.right - 4, box.bottom - 4);
    ReleaseDC(picture, dc);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
}

TEST_F(ShortcutMakerDialog, DefaultStoresTheShownOptionsAndAboutComesBackToTheName) {
    Click(Dialog(), Dialog().optSubfoldersOnly);
    Click(Dialog(), Dialog().optNormal);
    Click(Dialog(), Dialog().cmdDefault);
    EXPECT_EQ(StoredDefaults(), (std::vector<DWORD>{0, 1, 1, 0}));

    // The About box is modal: look at it from a timer inside its loop,
    // then close it with Escape from whatever control has the focus.
    aboutOwner = &Dialog();
    aboutBox = &program_->AboutForm();
    aboutOwnerDisabled = false;
    SetTimer(nullptr, 0, 300, LookAtAboutBoxThenEscape);
    Click(Dialog(), Dialog().cmdAbout);
    EXPECT_TRUE(aboutOwnerDisabled);
    EXPECT_NE(aboutPictureCorner, CLR_INVALID);
    EXPECT_NE(aboutPictureCorner, RGB(255, 255, 255));
    EXPECT_FALSE(program_->AboutForm().IsLoaded());
    ExpectNameSelected("Projects");
}

std::wstring aboutFocusClass;
std::wstring aboutFocusText;
bool aboutStillOpenAfterEnter = false;

void CALLBACK EscapeOnTheAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    aboutStillOpenAfterEnter = aboutBox->IsLoaded();
    if (aboutStillOpenAfterEnter) PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
}

void CALLBACK PressEnterOnTheAboutBoxsFocus(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    aboutFocusClass = testing::ClassOf(GetFocus());
    aboutFocusText = testing::TextOf(GetFocus());
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(GetFocus(), WM_KEYUP, VK_RETURN, 0xC0000001);
    // Should Enter leave it open, Escape ends the wait.
    SetTimer(nullptr, 0, 500, EscapeOnTheAboutBox);
}

TEST_F(ShortcutMakerDialog, EnterOnTheAboutBoxsFocusedOkClosesIt) {
    aboutBox = &program_->AboutForm();
    SetTimer(nullptr, 0, 300, PressEnterOnTheAboutBoxsFocus);
    Click(Dialog(), Dialog().cmdAbout);
    Pump(*platform_.ui, 600);
    EXPECT_EQ(aboutFocusClass, L"Button");
    EXPECT_EQ(aboutFocusText, L"OK");
    EXPECT_FALSE(aboutStillOpenAfterEnter);
    EXPECT_FALSE(program_->AboutForm().IsLoaded());
    ExpectNameSelected("Projects");
}

TEST_F(ShortcutMakerDialog, DelayAdvisorOutlivesTheDialogAndEndsTheProgram) {
    WriteDword(kSettingsKeyW, L"CheckStartMenuDelay", 1);
    WriteString(L"Control Panel\\Desktop", L"MenuShowDelay", L"400");
    Click(Dialog(), Dialog().cmdOK);
    Pump(*platform_.ui, 100);
    EXPECT_FALSE(Dialog().IsLoaded());
    auto& advisor = program_->StartMenuSettingForm();
    ASSERT_TRUE(advisor.IsLoaded());
    testing::SaveScreenshot(ViewOf(advisor).Window(), "delay-advisor");
    ExpectCaptionsFit(advisor);
    Click(advisor, advisor.cmdYes);
    platform_.ui->Run();
    EXPECT_FALSE(advisor.IsLoaded());
    wchar_t delay[16] = {};
    DWORD size = sizeof(delay);
    RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"MenuShowDelay", RRF_RT_REG_SZ,
                 nullptr, delay, &size);
    EXPECT_STREQ(delay, L"100");
}

}  // namespace
}  // namespace platform::win32
