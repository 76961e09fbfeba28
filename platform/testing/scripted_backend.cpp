#include "platform/testing/scripted_backend.h"

#include "platform/forms/form.h"
#include "platform/forms/message_box.h"
#include "platform/forms/user_interface.h"
#include "platform/platform_error.h"

namespace platform::testing {
namespace {

class ScriptedView : public forms::FormView {
  public:
    void Refresh(forms::Control&) override {}
    void Focus(forms::Control&) override {}
};

}  // namespace

std::unique_ptr<forms::FormView> ScriptedBackend::CreateView(forms::Form& form, forms::Form* owner,
                                                             bool) {
    script_.shownForms.push_back(form.Name());
    if (owner) script_.owners[form.Name()] = owner->Name();
    return std::make_unique<ScriptedView>();
}

void ScriptedBackend::RunModal(forms::Form& form) {
    if (script_.whileModal) script_.whileModal(form);
    // Nobody can close it later: a modal form the script left open is closed
    // here, as a user would have to before going on.
    form.Ui().Unload(form);
}

void ScriptedBackend::RunUntil(const std::function<bool()>&) {}

void ScriptedBackend::DoEvents() { ++script_.doEventsCalls; }

int ScriptedBackend::MessageBox(const std::string& text, unsigned style, const std::string& title) {
    ShownMessage shown{text, style, title, 0, {}};
    if (ui_) {
        for (forms::Form* form : ui_->LoadedForms()) shown.loadedForms.push_back(form->Name());
    }
    if (script_.answers.empty()) {
        shown.answer = forms::SafeAnswer(style);
    } else {
        shown.answer = script_.answers.front();
        script_.answers.pop_front();
    }
    script_.messages.push_back(shown);
    return shown.answer;
}

std::string ScriptedBackend::BrowseForFolder(const std::string& instruction) {
    script_.browserInstruction = instruction;
    if (!script_.browsedFolder) throw PlatformError("folder browser failed");
    return *script_.browsedFolder;
}

}  // namespace platform::testing
