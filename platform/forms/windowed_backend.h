// A backend whose forms are real windows served by its own event loop: it
// runs modal forms and waits through one loop of its own, which ends early
// once no window is left.
#pragma once

#include <functional>

#include "platform/forms/forms_backend.h"

namespace platform::forms {

class WindowedBackend : public FormsBackend {
  public:
    void RunModal(Form& form) override;
    void RunUntil(const std::function<bool()>& done) override;

  protected:
    // Runs the event loop until done() is true.
    virtual void WaitFor(const std::function<bool()>& done) = 0;
    virtual bool HasOpenWindows() const = 0;
};

}  // namespace platform::forms
