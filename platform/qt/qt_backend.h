// The Qt Widgets forms backend. It lives in libkestrow-qt.so, which the
// programs load only when they first show something.
#pragma once

#include <QPointer>
#include <functional>
#include <vector>

#include "platform/forms/help_windows.h"
#include "platform/forms/windowed_backend.h"

class QEventLoop;
class QTimer;
class QWidget;

namespace platform::qt {

class QtFormView;

class QtBackend : public forms::WindowedBackend, public forms::HelpWindows {
  public:
    // Needs a QApplication.
    QtBackend();
    ~QtBackend() override;

    std::unique_ptr<forms::FormView> CreateView(forms::Form& form, forms::Form* owner,
                                                bool modal) override;
    void DoEvents() override;
    int MessageBox(const std::string& text, unsigned style, const std::string& title) override;
    std::string BrowseForFolder(const std::string& instruction) override;
    std::uintptr_t OpenHelp(const forms::HelpDocument& document) override;
    void CloseHelpWindows() override;

    // The views tell the backend when they come and go, so that waiting
    // loops can see their end.
    void ViewOpened(QtFormView& view);
    void ViewClosed(QtFormView& view);
    // The window dialogs of the backend are shown over.
    QWidget* DialogParent() const;

  private:
    struct Wait {
        std::function<bool()> done;
        QEventLoop* loop;
    };
    void WaitFor(const std::function<bool()>& done) override;
    void CheckWaits();
    bool HasOpenWindows() const override;

    std::vector<QtFormView*> views_;
    std::vector<Wait*> waits_;
    QTimer* watchdog_;
    std::vector<QPointer<QWidget>> helpWindows_;
    std::uintptr_t lastHelpId_ = 0;
};

}  // namespace platform::qt

extern "C" platform::forms::FormsBackend* kestrow_create_qt_backend();
