#include "platform/forms/windowed_backend.h"

#include "platform/forms/form.h"

namespace platform::forms {

void WindowedBackend::RunModal(Form& form) {
    WaitFor([&form] { return !form.IsLoaded() || !form.View(); });
}

void WindowedBackend::RunUntil(const std::function<bool()>& done) {
    // With no window left nobody could ever make done() true.
    WaitFor([this, &done] { return done() || !HasOpenWindows(); });
}

}  // namespace platform::forms
