// The defaults dialog: the four option pairs in a two-by-two grid of frames,
// with OK, Cancel and Reset in a column at the right.
#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/user_interface.h"
#include "settings/option_frames.h"

namespace defaults_editor {

class modMain;

// The option frames are a base, so that their buttons keep the names the
// settings routines use.
class frmOptions : public platform::forms::Form, public settings::OptionFrames {
  public:
    frmOptions(platform::forms::UserInterface& ui, modMain& program);

    void Form_Load() override;
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdReset_Click();

    platform::forms::Label lblOptionInfo;
    platform::forms::CommandButton cmdOK;
    platform::forms::CommandButton cmdCancel;
    platform::forms::CommandButton cmdReset;

  private:
    modMain& program_;
};

}  // namespace defaults_editor
