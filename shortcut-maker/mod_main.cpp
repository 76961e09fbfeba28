#include "shortcut-maker/mod_main.h"

#include <cstdio>

#include "platform/forms/message_box.h"
#include "platform/platform_error.h"
#include "platform/text/text.h"
#include "shortcut-maker/default_name.h"
#include "shortcut-maker/frm_about.h"
#include "shortcut-maker/frm_options.h"
#include "shortcut-maker/frm_start_menu_setting.h"
#include "shortcut-maker/html_help.h"

namespace shortcut_maker {

namespace {

// The folder browser's path buffer holds 260 characters with the closing NUL.
constexpr std::size_t kMaxPathLength = 259;

}  // namespace

modMain::modMain(platform::Platform& platform) : ProgramModule(platform) {}

modMain::~modMain() {
    // The user interface keeps pointers to loaded forms; none may outlive us there.
    platform::Attempt([&] { UnloadAllForms(); });
}

platform::Registry& modMain::Store() { return *platform_.registry; }

platform::WshShell& modMain::GetScriptShell() {
    if (!ScriptShell) {
        ScriptShell = platform_.createScriptShell();
        if (!ScriptShell) throw platform::PlatformError("the script shell could not be made");
    }
    return *ScriptShell;
}

platform::FileSystemObject& modMain::GetFileSystem() {
    if (!FileSystem) {
        FileSystem = platform_.createFileSystem();
        if (!FileSystem) throw platform::PlatformError("the file system object could not be made");
    }
    return *FileSystem;
}

HTMLHelp& modMain::GetHelpViewer() {
    if (!HelpViewer) HelpViewer = std::make_unique<HTMLHelp>(platform_);
    return *HelpViewer;
}

frmOptions& modMain::OptionsForm() {
    if (!options_) options_ = std::make_unique<frmOptions>(*this);
    return *options_;
}

settings::OptionFrames& modMain::OptionsFormFrames() { return OptionsForm(); }

frmAbout& modMain::AboutForm() {
    if (!about_) about_ = std::make_unique<frmAbout>(*this);
    return *about_;
}

frmStartMenuSetting& modMain::StartMenuSettingForm() {
    if (!startMenuSetting_) startMenuSetting_ = std::make_unique<frmStartMenuSetting>(*this);
    return *startMenuSetting_;
}

void modMain::Main(const std::string& commandLine) {
    Trap([&] {
        CommandLineText = commandLine;
        RunMainFlow();
        HelpViewer = std::make_unique<HTMLHelp>(platform_);
    });
}

void modMain::RunMainFlow() {
    Trap([&] {
        StartMenuPath = GetScriptShell().SpecialFolder("StartMenu");
        if (platform::text::LastChar(StartMenuPath) != "\\") StartMenuPath += "\\";
        SideMenuPath = StartMenuPath + "Kestrow\\";

        if (!CommandLineText.empty()) {
            FolderPath = CommandLineText;
            DirectMode = true;
        } else {
            FolderPath = BrowseForFolder();
            DirectMode = false;
        }
        Ui().DoEvents();

        if (FolderPath.empty()) {
            UnloadAllForms();
            return;
        }
        // Bytes that are no text would reach the shortcut as other
        // characters, and so open another folder.
        if (!platform::text::IsValidUtf8(FolderPath)) {
            UnloadAllForms();
            RefuseFolder("The folder \"" +
                         platform::text::FromUtf16(platform::text::ToUtf16(FolderPath)) +
                         "\" has a name that is not valid text, so a shortcut cannot name it "
                         "exactly. Rename the folder and try again.");
            return;
        }
        DefaultName = shortcut_maker::DeriveDefaultName(FolderPath);

        if (DirectMode) {
            CreateShortcutDirectly();
        } else {
            Ui().Show(OptionsForm());
        }
    });
}

void modMain::HandleUnexpectedError(const platform::Failure& failure) {
    failed_ = true;
    // The store's own sentence says which file and why, and stands alone.
    if (failure.ofStore) {
        Tell(failure.text, platform::forms::kMbIconHand, true);
        return;
    }
    // A platform failure carries a sentence for the user, which goes after
    // the first line.
    const std::string& cause = failure.text;
    const std::string message = "Unexpected error.\r\n\r\n" +
                                (cause.empty() ? std::string() : cause + "\r\n\r\n") +
                                "Try installing the latest version of Windows Script.\r\n\r\n"
                                "It can be downloaded for free from Microsoft.";
    const std::string unshown =
        TellUser(message, platform::forms::kMbOk | platform::forms::kMbIconHand, kTitle, true);
    if (!unshown.empty()) {
        // Nothing can show it: the terminal is the last place it can go.
        std::fprintf(stderr, "%s: Unexpected error. %s(%s)\n", kTitle.c_str(),
                     cause.empty() ? "" : (cause + " ").c_str(), unshown.c_str());
    }
}

std::string modMain::BrowseForFolder() {
    std::string path;
    if (const auto failure = platform::Attempt(
            [&] { path = Ui().BrowseForFolder("Select a folder you need a shortcut to"); })) {
        // A browser that failed ends the run quietly, as Cancel does; a
        // folder chosen that no shortcut can name is told.
        if (failure->ofChoice) RefuseFolder(failure->text);
        return {};
    }
    return platform::AnswerOr(std::string(), [&]() -> std::string {
        const auto nul = path.find('\0');
        if (nul != std::string::npos) path.resize(nul);
        // A path that does not fit the buffer fails to convert; the user
        // chose it, so is told, rather than left wondering.
        if (platform::text::Length(path) > kMaxPathLength) {
            RefuseFolder("The folder \"" + path + "\" has a path longer than " +
                         std::to_string(kMaxPathLength) +
                         " characters, which a shortcut cannot hold.");
            return {};
        }
        if (!path.empty() && platform::text::EndsWith(path, "\\") &&
            platform::text::Length(path) > 3)
            path.pop_back();
        return path;
    });
}

std::string modMain::GetLastPathComponent(const std::string& strPath,
                                          const std::string& strSeparator) {
    return shortcut_maker::GetLastPathComponent(strPath, strSeparator);
}

void modMain::Warn(const std::string& strText) {
    Tell(strText, platform::forms::kMbIconExclamation, false);
}

void modMain::Tell(const std::string& strText, unsigned style, bool closeFormsFirst) {
    if (!TellUser(strText, platform::forms::kMbOk | style, kTitle, closeFormsFirst).empty()) {
        std::fprintf(stderr, "%s: %s\n", kTitle.c_str(), strText.c_str());
    }
}

void modMain::OpenWebLink(const std::string& strTarget) {
    platform_.shellExecutor->ShellExecute(0, nullptr, strTarget, nullptr, "C:\\",
                                          platform::kSwShowNormal);
}

void modMain::OpenMailLink(const std::string& strAddress) { OpenWebLink("mailto:" + strAddress); }

}  // namespace shortcut_maker
