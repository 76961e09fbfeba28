#include "platform/forms/form.h"

#include <utility>

#include "platform/forms/forms_backend.h"
#include "platform/forms/user_interface.h"

namespace platform::forms {

namespace {

// A window of a fixed client area; the rest as FormStyle's defaults say: a
// fixed single border, no minimise or maximise button, a taskbar button,
// the middle of the screen.
FormStyle FixedSizeStyle(std::string caption, int clientWidth, int clientHeight) {
    FormStyle style;
    style.caption = std::move(caption);
    style.clientWidth = clientWidth;
    style.clientHeight = clientHeight;
    return style;
}

}  // namespace

FormStyle MainWindowStyle(std::string caption, int clientWidth, int clientHeight,
                          std::string icon) {
    FormStyle style = FixedSizeStyle(std::move(caption), clientWidth, clientHeight);
    style.minButton = true;
    style.icon = std::move(icon);
    return style;
}

FormStyle DialogBoxStyle(std::string caption, int clientWidth, int clientHeight,
                         StartUpPosition position) {
    FormStyle style = FixedSizeStyle(std::move(caption), clientWidth, clientHeight);
    style.border = BorderStyle::FixedDialog;
    style.showInTaskbar = false;
    style.position = position;
    return style;
}

Form::Form(UserInterface& ui, std::string name, FormStyle style)
    : ui_(ui), name_(std::move(name)), style_(std::move(style)) {}

Form::~Form() { ui_.Forget(*this); }

Control* Form::FindControl(const std::string& name) const {
    for (Control* control : controls_) {
        if (control->Name() == name) return control;
    }
    return nullptr;
}

bool Form::IsLoaded() const { return ui_.IsLoaded(*this); }

Control* Form::FirstFocus() const {
    if (activeControl_) return activeControl_;
    Control* first = nullptr;
    for (Control* control : controls_) {
        if (TakesFocus(control->Kind()) && (!first || control->TabIndex() < first->TabIndex())) {
            first = control;
        }
    }
    return first;
}

void Form::Form_KeyDown(int, int) {}

void Form::KeyDown(int keyCode, int shift) {
    if (style_.keyPreview) Form_KeyDown(keyCode, shift);
}

void Form::Register(Control& control) { controls_.push_back(&control); }

void Form::ControlChanged(Control& control) {
    if (view_) view_->Refresh(control);
}

void Form::FocusChanged(Control* control) {
    activeControl_ = control;
    if (view_ && control) view_->Focus(*control);
}

void Form::AttachView(std::unique_ptr<FormView> view) { view_ = std::move(view); }

void Form::DetachView() { view_.reset(); }

}  // namespace platform::forms
