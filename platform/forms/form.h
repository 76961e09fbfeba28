// A form of the forms model: window properties, its controls, and the event
// handlers a program's form class overrides. A form object lives as long as
// the program that owns it; loading and unloading only open and close its
// window, so a form unloaded inside its own handler stays valid.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/controls.h"

namespace platform::forms {

class FormView;
class UserInterface;

enum class BorderStyle { FixedSingle, FixedDialog };
enum class StartUpPosition { CenterScreen, CenterOwner };

struct FormStyle {
    std::string caption;
    int clientWidth = 0;   // twips
    int clientHeight = 0;  // twips
    BorderStyle border = BorderStyle::FixedSingle;
    bool minButton = false;
    bool maxButton = false;
    bool showInTaskbar = true;
    StartUpPosition position = StartUpPosition::CenterScreen;
    std::string icon;  // icon name among the program's resources; empty: none
    bool keyPreview = false;
};

// The two kinds of window the programs show, both of a fixed size. A main
// window can be minimised, has a taskbar button and starts in the middle of
// the screen.
FormStyle MainWindowStyle(std::string caption, int clientWidth, int clientHeight, std::string icon);
// A dialog box has neither a minimise nor a maximise button, nor a taskbar
// button.
FormStyle DialogBoxStyle(std::string caption, int clientWidth, int clientHeight,
                         StartUpPosition position);

class Form {
  public:
    Form(UserInterface& ui, std::string name, FormStyle style);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    const FormStyle& Style() const { return style_; }
    UserInterface& Ui() const { return ui_; }

    // Controls in the order they were made.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* FindControl(const std::string& name) const;

    bool IsLoaded() const;
    Control* ActiveControl() const { return activeControl_; }
    // Where the focus goes when the window opens: the active control, else
    // the first control in tab order that takes the focus; null when none does.
    Control* FirstFocus() const;

    // Event handlers; a form class overrides those it has.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Unload() {}
    virtual void Form_KeyDown(int keyCode, int shift);

    // Delivers a key press: to Form_KeyDown first when key preview is on.
    void KeyDown(int keyCode, int shift);

    // Used by the model and the backends.
    void Register(Control& control);
    void ControlChanged(Control& control);
    void FocusChanged(Control* control);
    void AttachView(std::unique_ptr<FormView> view);
    void DetachView();
    FormView* View() const { return view_.get(); }

  private:
    UserInterface& ui_;
    std::string name_;
    FormStyle style_;
    std::vector<Control*> controls_;
    Control* activeControl_ = nullptr;
    std::unique_ptr<FormView> view_;
};

}  // namespace platform::forms
