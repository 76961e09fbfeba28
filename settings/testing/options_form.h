// The option frames on a form of their own, as a program's dialog holds them
// (first buttons on), for the tests of the settings routines.
#pragma once

#include "platform/forms/form.h"
#include "platform/forms/user_interface.h"
#include "settings/option_frames.h"

namespace settings::testing {

// The stored names of the four options, in the order the frames list them.
inline const char* const kOptionNames[4] = {"AllFolders", "SideMenu", "TwoPane", "Maximized"};

class OptionsForm : public platform::forms::Form, public OptionFrames {
  public:
    explicit OptionsForm(platform::forms::UserInterface& ui)
        : Form(ui, "frmOptions", {}), OptionFrames(*this, 0, 0) {}
};

}  // namespace settings::testing
