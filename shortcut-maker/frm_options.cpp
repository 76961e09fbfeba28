#include "shortcut-maker/frm_options.h"

#include "platform/forms/message_box.h"
#include "platform/forms/user_interface.h"
#include "platform/text/text.h"
#include "shortcut-maker/folder_shortcut.h"
#include "shortcut-maker/frm_about.h"
#include "shortcut-maker/html_help.h"
#include "shortcut-maker/mod_main.h"

namespace shortcut_maker {

namespace {

using namespace platform::forms;

constexpr const char* kForbiddenCharacters = "\\/:*?\"<>|";

}  // namespace

frmOptions::frmOptions(modMain& main)
    : Form(main.Ui(), "frmOptions", MainWindowStyle("Kestrow 2005", 8580, 6990, "kestrow")),
      OptionFrames(*this, 3615, 1),
      main_(main) {
    cmdOK.OnClick = [this] { cmdOK_Click(); };
    cmdCancel.OnClick = [this] { cmdCancel_Click(); };
    cmdReset.OnClick = [this] { cmdReset_Click(); };
    cmdDefault.OnClick = [this] { cmdDefault_Click(); };
    cmdAbout.OnClick = [this] { cmdAbout_Click(); };
    cmdHelp.OnClick = [this] { cmdHelp_Click(); };
}

void frmOptions::Form_Load() {
    main_.Trap([&] {
        txtName.SetText(main_.DefaultName);
        lblPathInfo.SetCaption("Kestrow will create a shortcut to the folder\r\n\r\n" +
                               main_.FolderPath);
        main_.Settings.ShowDefaultSettings();
    });
}

void frmOptions::Form_Activate() {
    main_.Trap([&] { FocusAndSelectAll(); });
}

void frmOptions::FocusAndSelectAll() {
    txtName.SetFocus();
    txtName.SetSelection(0, static_cast<int>(platform::text::Length(txtName.Text())));
}

void frmOptions::cmdOK_Click() {
    main_.Trap([&] {
        main_.Shortcut = MakeFolderShortcut(
            main_.FolderPath, optAllFolders.Value() ? 1 : 0, optTwoPane.Value() ? 1 : 0,
            optMaximized.Value() ? kWindowMaximized : kWindowNormal);
        main_.ShortcutName = platform::text::TrimSpaces(txtName.Text());

        if (main_.ShortcutName.empty()) {
            Ui().MsgBox("You did not enter a name", kMbOk | kMbIconExclamation, kTitle);
            FocusAndSelectAll();
            return;
        }
        if (main_.ShortcutName.find_first_of(kForbiddenCharacters) != std::string::npos) {
            Ui().MsgBox("You cannot use the characters \\/:*?\"<>|", kMbOk | kMbIconExclamation,
                        kTitle);
            FocusAndSelectAll();
            return;
        }

        if (!main_.PrepareShortcutPath(optSideMenu.Value()) || !main_.ReplaceExistingShortcut()) {
            FocusAndSelectAll();
            return;
        }
        if (main_.CreateFolderShortcut() == settings::Outcome::Reported) return;
        Ui().Unload(*this);
    });
}

void frmOptions::cmdCancel_Click() {
    main_.Trap([&] { main_.UnloadAllForms(); });
}

void frmOptions::cmdReset_Click() { main_.Settings.ShowDefaultSettings(); }

void frmOptions::cmdDefault_Click() { main_.Settings.SaveDefaultSettings(); }

void frmOptions::cmdAbout_Click() {
    main_.Trap([&] { Ui().Show(main_.AboutForm(), ShowMode::Modal, this); });
}

void frmOptions::cmdHelp_Click() {
    platform::RunTrapped(
        [&] {
            HTMLHelp& viewer = main_.GetHelpViewer();
            viewer.CHMFile(main_.Platform().programFolder() + "\\kestrow.chm");
            viewer.TopicURL("kestrow.htm");
            viewer.DisplayTopicURL();
        },
        [&] { main_.Warn("Problem with HTML Help."); });
}

void frmOptions::Form_Unload() {
    // The help viewer may never have been made (a failure while loading),
    // or its library may be gone: then there is no help window to close.
    if (main_.HelpViewer) platform::Attempt([&] { main_.HelpViewer->HelpClose(); });
    main_.HelpViewer.reset();
    main_.ScriptShell.reset();
    main_.CurrentShortcut.reset();
    main_.FileSystem.reset();
}

}  // namespace shortcut_maker
