// What a backend does to realise the forms model: windows for forms, the
// message loop, message boxes, the folder browser and help windows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/no_windows_macros.h"

namespace platform::forms {

class Control;
class Form;

// A line of a help file's contents or index: its text, the topic it opens
// (empty for a heading) and its depth (0 at the top).
struct HelpEntry {
    std::string name;
    std::string topic;
    int depth = 0;
};

// A help file as a help window shows it. Topics are paths inside the file
// ("kestrow.htm", "pages/x.htm"); resource() answers the bytes of any file
// in it by such a path (relative to the opening topic's folder, or from the
// root with a leading "/"), or empty text.
struct HelpDocument {
    std::string title;
    std::string topic;  // the opening topic
    std::string html;   // its page
    std::vector<HelpEntry> contents;
    std::vector<HelpEntry> index;
    std::function<std::string(const std::string&)> resource;
};

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

    // A help window of its own showing an HTML page; resource() answers the
    // bytes of other files of the same help file (pictures, linked pages) by
    // name, or empty text. Returns a non-zero window id.
    virtual std::uintptr_t OpenHelpWindow(
        const std::string& title, const std::string& html,
        std::function<std::string(const std::string&)> resource) = 0;
    // A help window with the file's contents and index beside the topic;
    // a backend that shows pages only shows the opening page.
    virtual std::uintptr_t OpenHelp(const HelpDocument& document) {
        return OpenHelpWindow(document.title, document.html, document.resource);
    }
    virtual void CloseHelpWindows() = 0;
};

}  // namespace platform::forms
