// The native Windows forms backend. Forms are modeless dialogs made from an
// empty template; one message loop runs every open form's keyboard through
// IsDialogMessageW, with the form's key preview before it.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/windowed_backend.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

class Win32FormView;

class Win32FormsBackend : public forms::WindowedBackend {
  public:
    Win32FormsBackend();
    ~Win32FormsBackend() override;

    std::unique_ptr<forms::FormView> CreateView(forms::Form& form, forms::Form* owner,
                                                bool modal) override;
    void DoEvents() override;
    int MessageBox(const std::string& text, unsigned style, const std::string& title) override;
    std::string BrowseForFolder(const std::string& instruction) override;

    // The views tell the backend when they come and go.
    void ViewOpened(Win32FormView& view);
    void ViewClosed(Win32FormView& view);
    const std::vector<Win32FormView*>& Views() const { return views_; }
    Win32FormView* ViewOfWindow(HWND window) const;

    // An exception cannot cross the system's window procedures: a callback
    // parks it here and the message loop throws it on.
    void Fail(std::exception_ptr error);

    // Hidden owner that keeps unowned forms out of the taskbar.
    HWND HiddenOwner();
    // The window message boxes and the folder browser are shown over.
    HWND DialogParent() const;

  private:
    // Takes one message through key preview, the dialog manager and the
    // window procedure. False on WM_QUIT.
    bool Process(MSG& message);
    void ThrowPending();
    bool HasOpenWindows() const override;
    void WaitFor(const std::function<bool()>& done) override;

    std::vector<Win32FormView*> views_;
    std::exception_ptr pending_;
    HWND hiddenOwner_ = nullptr;
    bool comInitialised_ = false;
};

}  // namespace platform::win32
