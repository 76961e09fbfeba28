#include "program_module.h"

#include <exception>
#include <vector>

#include "forms/user_interface.h"
#include "platform_error.h"

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

std::string ProgramModule::FailureCause() {
    const std::exception_ptr caught = std::current_exception();
    if (!caught) return {};
    try {
        std::rethrow_exception(caught);
    } catch (const platform::PlatformError& e) {
        return e.what();
    } catch (...) {
    }
    return {};
}

}  // namespace settings
