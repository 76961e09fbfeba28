#include "platform/qt/qt_backend.h"

#include <dlfcn.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

#include "platform/forms/form.h"
#include "platform/qt/qt_form_view.h"
#include "platform/qt/qt_help_window.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_units.h"

namespace platform::qt {

QtBackend::QtBackend() : watchdog_(new QTimer) {
    QApplication::setQuitOnLastWindowClosed(false);
    // A wait whose end no window announces (a form loaded but never shown)
    // is still noticed.
    watchdog_->setInterval(100);
    QObject::connect(watchdog_, &QTimer::timeout, watchdog_, [this] { CheckWaits(); });
}

QtBackend::~QtBackend() {
    CloseHelpWindows();
    delete watchdog_;
    // Windows closed by handlers are waiting for the loop to delete them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::unique_ptr<forms::FormView> QtBackend::CreateView(forms::Form& form, forms::Form* owner,
                                                       bool modal) {
    return std::make_unique<QtFormView>(*this, form, owner, modal);
}

void QtBackend::WaitFor(const std::function<bool()>& done) {
    if (done()) return;
    QEventLoop loop;
    struct Wait wait {
        done, &loop
    };
    waits_.push_back(&wait);
    watchdog_->start();
    loop.exec();
    waits_.erase(std::remove(waits_.begin(), waits_.end(), &wait), waits_.end());
    if (waits_.empty()) watchdog_->stop();
}

void QtBackend::CheckWaits() {
    for (struct Wait* wait : waits_) {
        if (wait->done()) wait->loop->quit();
    }
}

void QtBackend::DoEvents() { QCoreApplication::processEvents(); }

int QtBackend::MessageBox(const std::string& text, unsigned style, const std::string& title) {
    return ShowMessageBox(DialogParent(), ToQString(text), style, ToQString(title));
}

std::string QtBackend::BrowseForFolder(const std::string& instruction) {
    const QString folder = QFileDialog::getExistingDirectory(
        DialogParent(), ToQString(instruction), QDir::homePath(), QFileDialog::ShowDirsOnly);
    return ToStdString(folder);
}

std::uintptr_t QtBackend::OpenHelp(const forms::HelpDocument& document) {
    // One help window, as the viewer shows each topic in its window: the old
    // one goes, and with it the help file it holds open.
    CloseHelpWindows();
    helpWindows_.emplace_back(CreateHelpWindow(document, DialogParent()));
    return ++lastHelpId_;
}

void QtBackend::CloseHelpWindows() {
    for (const QPointer<QWidget>& window : helpWindows_) {
        if (window) window->close();
    }
    helpWindows_.clear();
}

bool QtBackend::HasOpenWindows() const {
    // A window goes with its owner's, even if its form stays loaded.
    return std::any_of(views_.begin(), views_.end(), [](const QtFormView* view) {
        return view->Window() && view->Window()->isVisible();
    });
}

void QtBackend::ViewOpened(QtFormView& view) { views_.push_back(&view); }

void QtBackend::ViewClosed(QtFormView& view) {
    views_.erase(std::remove(views_.begin(), views_.end(), &view), views_.end());
    // The model marks the form unloaded only after the view is gone.
    QTimer::singleShot(0, watchdog_, [this] { CheckWaits(); });
}

QWidget* QtBackend::DialogParent() const {
    QWidget* active = QApplication::activeWindow();
    for (QtFormView* view : views_) {
        if (view->Window() && view->Window() == active) return active;
    }
    for (auto it = views_.rbegin(); it != views_.rend(); ++it) {
        if ((*it)->Window() && (*it)->Window()->isVisible()) return (*it)->Window();
    }
    return nullptr;
}

namespace {

// Qt ends the process when its X11 platform cannot connect; ask first.
bool X11DisplayOpens() {
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb) return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool opens = false;
    if (connect && hasError && disconnect) {
        void* connection = connect(nullptr, nullptr);
        opens = connection && hasError(connection) == 0;
        if (connection) disconnect(connection);
    }
    dlclose(xcb);
    return opens;
}

bool CanMakeApplication() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb")) return true;
    if (platform.isEmpty() && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") && X11DisplayOpens();
}

}  // namespace

}  // namespace platform::qt

extern "C" platform::forms::FormsBackend* kestrow_create_qt_backend() {
    if (!QApplication::instance()) {
        if (!platform::qt::CanMakeApplication()) return nullptr;
        // The application lives as long as the process: windows closed by
        // their handlers may still be waiting for deletion at any moment.
        static int argc = 1;
        static char name[] = "kestrow";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    return new platform::qt::QtBackend;
}
