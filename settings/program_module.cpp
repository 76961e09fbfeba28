#include "program_module.h"

#include <vector>

#include "forms/user_interface.h"

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

}  // namespace settings
