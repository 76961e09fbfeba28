// The shortcut maker's module: the program state every form and routine
// shares, and the routines that start the program, write the shortcuts and
// handle failures. One object per run, built on the platform main hands in.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "settings/program_module.h"
#include "shortcut-maker/folder_shortcut.h"

namespace shortcut_maker {

class frmAbout;
class frmOptions;
class frmStartMenuSetting;
class HTMLHelp;

class modMain : public settings::ProgramModule {
  public:
    explicit modMain(platform::Platform& platform);
    ~modMain() override;

    // Program state.
    std::string CommandLineText;
    bool DirectMode = false;
    std::string StartMenuPath;
    std::string SideMenuPath;
    std::string FolderPath;
    std::string DefaultName;
    std::string ShortcutName;
    std::string ShortcutPath;
    // What CreateFolderShortcut writes for the user, set whole by direct
    // mode and the options dialog; the two names reach its parts.
    FolderShortcut Shortcut;
    std::string& ShortcutArguments = Shortcut.Arguments;
    std::int32_t& ShortcutWindowStyle = Shortcut.WindowStyle;

    // The four settings flags live in Settings, shared with the defaults
    // editor; these names reach them.
    std::int32_t& lngAllFolders = Settings.lngAllFolders;
    std::int32_t& lngSideMenu = Settings.lngSideMenu;
    std::int32_t& lngTwoPane = Settings.lngTwoPane;
    std::int32_t& lngMaximized = Settings.lngMaximized;

    // Objects made on first use; releasing one is resetting it.
    std::unique_ptr<platform::WshShell> ScriptShell;
    std::unique_ptr<platform::WshShortcut> CurrentShortcut;
    std::unique_ptr<platform::FileSystemObject> FileSystem;
    std::unique_ptr<HTMLHelp> HelpViewer;
    platform::WshShell& GetScriptShell();
    platform::FileSystemObject& GetFileSystem();
    HTMLHelp& GetHelpViewer();

    // The forms, made on first use and kept for the whole run, so that a form
    // unloaded inside its own handler stays valid.
    frmOptions& OptionsForm();
    frmAbout& AboutForm();
    frmStartMenuSetting& StartMenuSettingForm();

    // Start-up and main flow.
    void Main(const std::string& commandLine);
    void RunMainFlow();
    void HandleUnexpectedError(const platform::Failure& failure = {}) override;
    std::string BrowseForFolder();
    static std::string GetLastPathComponent(const std::string& strPath,
                                            const std::string& strSeparator);

    // Shortcut composition and writing.
    static std::string ComposeExplorerArguments(std::int32_t lngAll, std::int32_t lngTwo,
                                                const std::string& strPath);
    settings::Outcome CreateShortcutDirectly();
    settings::Outcome CreateFolderShortcut();
    bool IsExistingFolder(const std::string& strPath);
    bool IsExistingFile(const std::string& strPath);

    // Sets ShortcutPath in the side menu or the Start Menu and makes the side
    // menu when it is due. False, after telling the user, for a name that
    // would take the shortcut out of the Start Menu tree; nothing is made then.
    bool PrepareShortcutPath(bool blnSideMenu);
    // Asks before a file at ShortcutPath is replaced and deletes it on Yes.
    // False when the user keeps it.
    bool ReplaceExistingShortcut();

    // Whether ShortcutPath is a plain file name inside the Start Menu tree.
    // Names come from the command line unchecked, and a ".." or a separator
    // in one must never let the program write elsewhere.
    bool ShortcutPathIsSafe() const;
    // Tells the user why the shortcut cannot be made where ShortcutPath
    // points: the name, or a location that leads out of the Start Menu.
    void RefuseUnsafeShortcutPath();
    // Tells the user that the folder given cannot be used and ends the run
    // with a failure; in a message box when one can be shown.
    void RefuseFolder(const std::string& strText);
    // A message box with OK and the exclamation icon. It never throws: when
    // no box can be shown the text goes to standard error instead.
    void Warn(const std::string& strText) override;

    // The Start Menu delay check.
    void AdviseOnMenuDelay();

    // Links of the About box.
    void OpenWebLink(const std::string& strTarget);
    void OpenMailLink(const std::string& strAddress);

    platform::Platform& Platform() { return platform_; }
    // The settings store the platform gives.
    platform::Registry& Store();

    // 0, or 1 when the run failed: the error routine ran, a shortcut or
    // folder was refused, or the last save of the defaults was refused.
    int ExitCode() const { return failed_ || refused_ || Settings.SaveRefused() ? 1 : 0; }

  protected:
    settings::OptionFrames& OptionsFormFrames() override;

  private:
    // A message box with OK and the icon in style, or the text on standard
    // error when no box can be shown.
    void Tell(const std::string& strText, unsigned style, bool closeFormsFirst);

    std::unique_ptr<frmOptions> options_;
    std::unique_ptr<frmAbout> about_;
    std::unique_ptr<frmStartMenuSetting> startMenuSetting_;
    bool failed_ = false;
    bool refused_ = false;
};

// The message box title of the shortcut maker.
inline const std::string kTitle = "Kestrow";

}  // namespace shortcut_maker
