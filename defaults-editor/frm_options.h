// The defaults dialog: the four option pairs in a two-by-two grid of frames,
// with OK, Cancel and Reset in a column at the right.
#pragma once

#include "forms/controls.h"
#include "forms/form.h"
#include "forms/user_interface.h"

namespace defaults_editor {

class modMain;

class frmOptions : public platform::forms::Form {
  public:
    frmOptions(platform::forms::UserInterface& ui, modMain& program);

    void Form_Load() override;
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdReset_Click();

    platform::forms::Label lblOptionInfo;
    platform::forms::Frame fraFolderTree;
    platform::forms::OptionButton optAllFolders;
    platform::forms::OptionButton optSubfoldersOnly;
    platform::forms::Frame fraShortcutLocation;
    platform::forms::OptionButton optSideMenu;
    platform::forms::OptionButton optStartMenu;
    platform::forms::Frame fraWindowStyle;
    platform::forms::OptionButton optTwoPane;
    platform::forms::OptionButton optFolderWindow;
    platform::forms::Frame fraWindowSize;
    platform::forms::OptionButton optMaximized;
    platform::forms::OptionButton optNormal;
    platform::forms::CommandButton cmdOK;
    platform::forms::CommandButton cmdCancel;
    platform::forms::CommandButton cmdReset;

  private:
    modMain& program_;
};

}  // namespace defaults_editor
