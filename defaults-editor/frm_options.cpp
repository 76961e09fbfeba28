#include "frm_options.h"

#include "mod_main.h"

namespace defaults_editor {
namespace {

platform::forms::FormStyle DialogStyle() {
    platform::forms::FormStyle style;
    style.caption = "Kestrow 2005 Default Settings";
    style.clientWidth = 8580;
    style.clientHeight = 4320;
    style.border = platform::forms::BorderStyle::FixedSingle;
    style.minButton = true;
    style.maxButton = false;
    style.showInTaskbar = true;
    style.position = platform::forms::StartUpPosition::CenterScreen;
    style.icon = "kestrow";
    return style;
}

const char* const kOptionInfo =
    "You can right click on a folder in Windows Explorer and click on \"Let Kestrow create a "
    "shortcut\" on the context menu. That is the fastest way to work with Kestrow. The default "
    "name and settings will be applied.";

}  // namespace

frmOptions::frmOptions(platform::forms::UserInterface& ui, modMain& program)
    : Form(ui, "frmOptions", DialogStyle()),
      lblOptionInfo(*this, nullptr, "lblOptionInfo", {225, 255, 8160, 405}, 15, kOptionInfo),
      fraFolderTree(*this, "fraFolderTree", {240, 960, 3225, 1470}, 3, "Folder tree"),
      optAllFolders(*this, &fraFolderTree, "optAllFolders", {240, 405, 2475, 270}, 4,
                    "Show all folders", true),
      optSubfoldersOnly(*this, &fraFolderTree, "optSubfoldersOnly", {240, 930, 2475, 270}, 5,
                        "Show subfolders only", false),
      fraShortcutLocation(*this, "fraShortcutLocation", {3720, 960, 3225, 1470}, 6,
                          "Shortcut location"),
      optSideMenu(*this, &fraShortcutLocation, "optSideMenu", {240, 405, 2460, 270}, 7,
                  "Put shortcut on side menu", true),
      optStartMenu(*this, &fraShortcutLocation, "optStartMenu", {240, 930, 2460, 270}, 8,
                   "Put shortcut on Start Menu", false),
      fraWindowStyle(*this, "fraWindowStyle", {240, 2610, 3225, 1470}, 9, "Window style"),
      optTwoPane(*this, &fraWindowStyle, "optTwoPane", {240, 405, 2460, 270}, 10,
                 "Show two-pane window", true),
      optFolderWindow(*this, &fraWindowStyle, "optFolderWindow", {240, 930, 2460, 270}, 11,
                      "Show folder window only", false),
      fraWindowSize(*this, "fraWindowSize", {3720, 2610, 3225, 1470}, 12, "Window size"),
      optMaximized(*this, &fraWindowSize, "optMaximized", {240, 405, 2460, 270}, 13, "Maximized",
                   true),
      optNormal(*this, &fraWindowSize, "optNormal", {240, 930, 2460, 270}, 14, "Normal", false),
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
    try {
        program_.ShowDefaultSettings();
    } catch (...) {
        program_.HandleUnexpectedError();
    }
}

void frmOptions::cmdOK_Click() {
    try {
        program_.SaveDefaultSettings();
        // After a failed save the error routine has unloaded the dialog
        // already; a second unload does nothing.
        Ui().Unload(*this);
    } catch (...) {
        program_.HandleUnexpectedError();
    }
}

void frmOptions::cmdCancel_Click() {
    try {
        Ui().Unload(*this);
    } catch (...) {
        program_.HandleUnexpectedError();
    }
}

void frmOptions::cmdReset_Click() {
    try {
        program_.ShowDefaultSettings();
    } catch (...) {
        program_.HandleUnexpectedError();
    }
}

}  // namespace defaults_editor
