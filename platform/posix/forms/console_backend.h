// The forms backend for a run without a display: message boxes are told and
// asked on the terminal, and a form is drawn as text and worked by typed
// commands: a number clicks a button, a letter chooses an option, "t TEXT"
// types into the text box, 0 closes. With no terminal either, a question takes
// the answer that changes nothing and its text goes to standard error.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/forms/forms_backend.h"

namespace platform::forms {
class TextBox;
}  // namespace platform::forms

namespace platform::posix {

class ConsoleBackend : public forms::FormsBackend {
  public:
    // Where the user is asked: a file descriptor to read answers from and
    // one to write to; -1 for none.
    struct Terminal {
        int in = -1;
        int out = -1;
        bool ownsDescriptors = false;
        bool Present() const { return in >= 0 && out >= 0; }
    };

    // The controlling terminal (/dev/tty), else standard input and standard
    // error when both are terminals, else none.
    static Terminal OpenTerminal();

    // errorFd receives what is shown while nobody can be asked.
    explicit ConsoleBackend(Terminal terminal, int errorFd = 2);
    ~ConsoleBackend() override;

    // Throws PlatformError("no display and no terminal") without a terminal.
    std::unique_ptr<forms::FormView> CreateView(forms::Form& form, forms::Form* owner,
                                                bool modal) override;
    void RunModal(forms::Form& form) override;
    void RunUntil(const std::function<bool()>& done) override;
    void DoEvents() override {}
    int MessageBox(const std::string& text, unsigned style, const std::string& title) override;
    // Asks for a path on the terminal; empty input cancels. Throws
    // PlatformError without a terminal.
    std::string BrowseForFolder(const std::string& instruction) override;

    // The views report their end.
    void ViewClosed(forms::Form& form);

  private:
    void Write(const std::string& text);
    // A line the user typed without its line end; false at end of input.
    bool ReadLine(std::string& line);
    // Shows forms (the given one, or the last shown) until done().
    void Present(const std::function<bool()>& done, forms::Form* only);
    // One round: draws the whole form, reads one command and acts on it.
    void Offer(forms::Form& form);
    // Types over the box's text what the user gave with its key, or asks
    // for it when nothing was given; Enter alone keeps the text.
    void Retype(forms::TextBox& box, std::optional<std::string> typed);

    Terminal terminal_;
    int errorFd_;
    std::vector<forms::Form*> shown_;
};

}  // namespace platform::posix
