#include "platform/forms/user_interface.h"

#include <algorithm>
#include <utility>

#include "platform/error_trap.h"
#include "platform/forms/form.h"
#include "platform/platform_error.h"

namespace platform::forms {

UserInterface::UserInterface(BackendFactory factory, PathMapping programPathOf)
    : factory_(std::move(factory)), programPathOf_(std::move(programPathOf)) {}

UserInterface::~UserInterface() {
    // Windows belong to the backend: close them before it goes.
    for (Form* form : loaded_) form->DetachView();
}

FormsBackend& UserInterface::Backend() {
    if (!backend_) {
        backend_ = factory_ ? factory_() : nullptr;
        if (!backend_) throw PlatformError("no user interface is available");
    }
    return *backend_;
}

bool UserInterface::IsLoaded(const Form& form) const {
    return std::find(loaded_.begin(), loaded_.end(), &form) != loaded_.end();
}

void UserInterface::Load(Form& form) {
    if (IsLoaded(form)) return;
    loaded_.push_back(&form);
    form.Form_Load();
}

void UserInterface::Show(Form& form, ShowMode mode, Form* owner) {
    Load(form);
    // Form_Load may have failed and unloaded every form.
    if (!IsLoaded(form)) return;
    if (!form.View()) {
        try {
            form.AttachView(Backend().CreateView(form, owner, mode == ShowMode::Modal));
        } catch (...) {
            // A form that cannot be shown must not stay loaded without a
            // window: nothing could ever close it.
            Unload(form);
            throw;
        }
    }
    Activate(form);
    if (mode == ShowMode::Modal && IsLoaded(form)) {
        Backend().RunModal(form);
        if (owner && IsLoaded(*owner)) Activate(*owner);
    }
}

void UserInterface::Unload(Form& form) {
    if (!IsLoaded(form)) return;
    form.Form_Unload();
    form.DetachView();
    loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), &form), loaded_.end());
}

void UserInterface::Forget(Form& form) {
    form.DetachView();
    loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), &form), loaded_.end());
}

void UserInterface::Activate(Form& form) {
    if (IsLoaded(form)) form.Form_Activate();
}

int UserInterface::MsgBox(const std::string& text, unsigned style, const std::string& title) {
    return Backend().MessageBox(text, style, title);
}

std::string UserInterface::BrowseForFolder(const std::string& instruction) {
    const std::string chosen = Backend().BrowseForFolder(instruction);
    if (chosen.empty() || !programPathOf_) return chosen;
    std::string path;
    // A folder the programs' paths cannot name is the user's choice to
    // change, not a browser that failed.
    if (const auto failure = Attempt([&] { path = programPathOf_(chosen); }))
        throw PlatformError(failure->text, PlatformError::Source::Choice);
    return path;
}

void UserInterface::DoEvents() {
    // Nothing can be pending before a backend exists.
    if (backend_) backend_->DoEvents();
}

void UserInterface::Run() {
    if (loaded_.empty()) return;
    Backend().RunUntil([this] { return loaded_.empty(); });
}

}  // namespace platform::forms
