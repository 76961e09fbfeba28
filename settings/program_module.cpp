#include "settings/program_module.h"

#include <exception>
#include <vector>

#include "platform/forms/user_interface.h"

namespace settings {

ProgramModule::ProgramModule(platform::Platform& platform)
    : Settings(
          platform, [this]() -> OptionFrames& { return OptionsFormFrames(); },
          [this] { HandleUnexpectedError(); },
          [this](const std::string& problem) { ReportStoreProblem(problem); }),
      platform_(platform) {}

platform::forms::UserInterface& ProgramModule::Ui() { return *platform_.ui; }

void ProgramModule::UnloadAllForms() {
    // Unloading shortens the list: walk a copy.
    const std::vector<platform::forms::Form*> loaded = Ui().LoadedForms();
    for (platform::forms::Form* form : loaded) Ui().Unload(*form);
}

std::string ProgramModule::TellUser(const std::string& text, unsigned style,
                                    const std::string& title, bool closeFormsFirst) {
    if (closeFormsFirst) {
        try {
            UnloadAllForms();
        } catch (const std::exception&) {
            // The message matters more than the forms that would not close.
        }
    }
    try {
        Ui().MsgBox(text, style, title);
        return {};
    } catch (const std::exception& e) {
        const std::string why = e.what();
        return why.empty() ? "no message box can be shown" : why;
    }
}

}  // namespace settings
