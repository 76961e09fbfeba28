// What a backend does to realise the forms model: windows for forms, the
// message loop, message boxes and the folder browser.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/no_windows_macros.h"

namespace platform::forms {

class Control;
class Form;

// One shown form's window in a backend.
class FormView {
  public:
    virtual ~FormView() = default;
    // The model changed this control's state; show it.
    virtual void Refresh(Control& control) = 0;
    // Move the real keyboard focus to this control.
    virtual void Focus(Control& control) = 0;
};

class FormsBackend {
  public:
    virtual ~FormsBackend() = default;

    // Creates and shows the window of a loaded form; owner is null or the
    // form it is shown over.
    virtual std::unique_ptr<FormView> CreateView(Form& form, Form* owner, bool modal) = 0;

    // Runs the message loop until the form is no longer loaded.
    virtual void RunModal(Form& form) = 0;

    // Runs the message loop until done() is true.
    virtual void RunUntil(const std::function<bool()>& done) = 0;

    // Processes pending events and returns.
    virtual void DoEvents() = 0;

    // Shows a message box; returns the button pressed (kIdOk, kIdYes, ...).
    virtual int MessageBox(const std::string& text, unsigned style, const std::string& title) = 0;

    // The folder browser: a native path, or empty text on cancel. Throws
    // PlatformError when it cannot be shown.
    virtual std::string BrowseForFolder(const std::string& instruction) = 0;
};

}  // namespace platform::forms
