// A real forms backend whose folder browser alone gives a set answer: the
// system's browser is a dialog a test cannot drive cheaply, while the
// platform's handling of the answer should run as it does for a user.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/forms/forms_backend.h"
#include "platform/forms/help_windows.h"
#include "platform/platform_error.h"

namespace platform::testing {

// The real backend's help windows stay reachable through it.
class AnsweredFolderBrowser : public forms::FormsBackend, public forms::HelpWindows {
  public:
    // chosen: the folder as the system's browser gives it (a native path).
    AnsweredFolderBrowser(std::unique_ptr<forms::FormsBackend> real, std::string chosen)
        : real_(std::move(real)), chosen_(std::move(chosen)) {}

    std::unique_ptr<forms::FormView> CreateView(forms::Form& form, forms::Form* owner,
                                                bool modal) override {
        return real_->CreateView(form, owner, modal);
    }
    void RunModal(forms::Form& form) override { real_->RunModal(form); }
    void RunUntil(const std::function<bool()>& done) override { real_->RunUntil(done); }
    void DoEvents() override { real_->DoEvents(); }
    int MessageBox(const std::string& text, unsigned style, const std::string& title) override {
        return real_->MessageBox(text, style, title);
    }
    std::string BrowseForFolder(const std::string&) override { return chosen_; }

    std::uintptr_t OpenHelp(const forms::HelpDocument& document) override {
        if (auto* windows = dynamic_cast<forms::HelpWindows*>(real_.get())) {
            return windows->OpenHelp(document);
        }
        throw PlatformError("help \"" + document.title + "\" needs a display");
    }
    void CloseHelpWindows() override {
        if (auto* windows = dynamic_cast<forms::HelpWindows*>(real_.get())) {
            windows->CloseHelpWindows();
        }
    }

  private:
    std::unique_ptr<forms::FormsBackend> real_;
    std::string chosen_;
};

}  // namespace platform::testing
