#include "defaults-editor/frm_options.h"

#include "defaults-editor/mod_main.h"

namespace defaults_editor {
namespace {

const char* const kOptionInfo =
    "You can right click on a folder in Windows Explorer and click on \"Let Kestrow create a "
    "shortcut\" on the context menu. That is the fastest way to work with Kestrow. The default "
    "name and settings will be applied.";

}  // namespace

frmOptions::frmOptions(platform::forms::UserInterface& ui, modMain& program)
    : Form(
          ui, "frmOptions",
          platform::forms::MainWindowStyle("Kestrow 2005 Default Settings", 8580, 4320, "kestrow")),
      OptionFrames(*this, 960, 3),
      lblOptionInfo(*this, nullptr, "lblOptionInfo", {225, 255, 8160, 405}, 15, kOptionInfo),
      cmdOK(*this, nullptr, "cmdOK", {7230, 2655, 1140, 345}, 0, "OK",
            "Click here to make the current settings default and exit"),
      cmdCancel(*this, nullptr, "cmdCancel", {7230, 3195, 1140, 345}, 1, "Cancel",
                "Click here to exit without changing the default settings"),
      cmdReset(*this, nullptr, "cmdReset", {7230, 3735, 1140, 345}, 2, "Reset",
               "Click here to return to the current default settings"),
      program_(program) {
    cmdOK.OnClick = [this] { cmdOK_Click(); };
    cmdCancel.OnClick = [this] { cmdCancel_Click(); };
    cmdReset.OnClick = [this] { cmdReset_Click(); };
}

void frmOptions::Form_Load() {
    program_.Trap([&] { program_.ShowDefaultSettings(); });
}

void frmOptions::cmdOK_Click() {
    program_.Trap([&] {
        // A refused save leaves the dialog open with the user's choices, to
        // try again or cancel; after a failure the error routine has
        // unloaded it already.
        if (program_.SaveDefaultSettings() == settings::Outcome::Reported) return;
        Ui().Unload(*this);
    });
}

void frmOptions::cmdCancel_Click() {
    program_.Trap([&] { Ui().Unload(*this); });
}

void frmOptions::cmdReset_Click() {
    program_.Trap([&] { program_.ShowDefaultSettings(); });
}

}  // namespace defaults_editor
