// The options dialog: the user names the shortcut, picks its four options,
// stores or restores the defaults, and creates the shortcut.
#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "settings/option_frames.h"

namespace shortcut_maker {

class modMain;

// The option frames are a base, so that their buttons keep the names the
// dialog's handlers and the settings routines use.
class frmOptions : public platform::forms::Form, public settings::OptionFrames {
  public:
    explicit frmOptions(modMain& main);

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdReset_Click();
    void cmdDefault_Click();
    void cmdAbout_Click();
    void cmdHelp_Click();

    using CommandButton = platform::forms::CommandButton;
    using Label = platform::forms::Label;

    platform::forms::TextBox txtName{*this, "txtName", {225, 2235, 8145, 315}, 0, 50};
    CommandButton cmdOK{*this,
                        nullptr,
                        "cmdOK",
                        {7230, 3705, 1140, 345},
                        13,
                        "OK",
                        "Click here to create the shortcut and exit"};
    CommandButton cmdCancel{*this,
                            nullptr,
                            "cmdCancel",
                            {7230, 4242, 1140, 345},
                            14,
                            "Cancel",
                            "Click here to exit without creating the shortcut"};
    CommandButton cmdReset{*this,
                           nullptr,
                           "cmdReset",
                           {7230, 4779, 1140, 345},
                           15,
                           "Reset",
                           "Click here to return to the current default settings"};
    CommandButton cmdDefault{*this,
                             nullptr,
                             "cmdDefault",
                             {7230, 5316, 1140, 345},
                             16,
                             "Default",
                             "Click here to make the current settings default"};
    CommandButton cmdHelp{
        *this, nullptr, "cmdHelp", {7230, 5853, 1140, 345}, 17, "Help", "Click here to view help"};
    CommandButton cmdAbout{*this,
                           nullptr,
                           "cmdAbout",
                           {7230, 6390, 1140, 345},
                           18,
                           "About...",
                           "Click here to view general information about this program"};
    Label lblPathInfo{*this, nullptr, "lblPathInfo", {225, 285, 8160, 1275}, 19, ""};
    Label lblNameInfo{*this,
                      nullptr,
                      "lblNameInfo",
                      {225, 1920, 8160, 240},
                      20,
                      "Please enter a name for the shortcut. You can use the default name or one "
                      "of your own choice."};
    Label lblOptionInfo{*this,
                        nullptr,
                        "lblOptionInfo",
                        {225, 2910, 8160, 405},
                        21,
                        "You can right click on a folder in Windows Explorer and click on \"Let "
                        "Kestrow create a shortcut\" on the context menu. That is the fastest way "
                        "to work with Kestrow. The default name and settings will be applied."};

  private:
    // What every refusal of OK ends with: the whole name selected for retyping.
    void FocusAndSelectAll();

    modMain& main_;
};

}  // namespace shortcut_maker
