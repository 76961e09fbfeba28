#include "settings/program_module.h"

#include <optional>
#include <vector>

#include "platform/forms/user_interface.h"

namespace settings {

ProgramModule::ProgramModule(platform::Platform& platform)
    : Settings(
          platform, [this]() -> OptionFrames& { return OptionsFormFrames(); },
          [this](const platform::Failure& failure) { HandleUnexpectedError(failure); },
          [this](const std::string& text) { Warn(text); }),
      platform_(platform) {}

platform::forms::UserInterface& ProgramModule::Ui() { return *platform_.ui; }

void ProgramModule::UnloadAllForms() {
    // Unloading shortens the list: walk a copy.
    const std::vector<platform::forms::Form*> loaded = Ui().LoadedForms();
    for (platform::forms::Form* form : loaded) Ui().Unload(*form);
}

std::string ProgramModule::TellUser(const std::string& text, unsigned style,
                                    const std::string& title, bool closeFormsFirst) {
    // The message matters more than forms that would not close.
    if (closeFormsFirst) platform::Attempt([&] { UnloadAllForms(); });
    const std::optional<platform::Failure> unshown =
        platform::Attempt([&] { Ui().MsgBox(text, style, title); });
    if (!unshown) return {};
    return unshown->text.empty() ? "no message box can be shown" : unshown->text;
}

}  // namespace settings
