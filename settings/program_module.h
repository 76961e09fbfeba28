// What both programs' modMain build on: the platform they run on, the
// shortcut settings shown in the option frames of their frmOptions, and their
// two error routines, to which the settings and every trapped routine report.
#pragma once

#include <string>
#include <utility>

#include "platform/error_trap.h"
#include "platform/platform.h"
#include "settings/option_frames.h"
#include "settings/shortcut_settings.h"

namespace settings {

class ProgramModule {
  public:
    explicit ProgramModule(platform::Platform& platform);
    virtual ~ProgramModule() = default;
    ProgramModule(const ProgramModule&) = delete;
    ProgramModule& operator=(const ProgramModule&) = delete;

    // The program's one error routine, called inside the trap that caught
    // the failure: closes every form and tells the user.
    virtual void HandleUnexpectedError() = 0;
    // Tells the user that the settings store could not be used (the text
    // names it and the cause), closing every form first; the run then fails.
    virtual void ReportStoreProblem(const std::string& strProblem) = 0;

    // Runs a routine or handler under its error trap: a failure inside it
    // goes to HandleUnexpectedError.
    template <typename Routine>
    void Trap(Routine&& routine) {
        platform::RunTrapped(std::forward<Routine>(routine), [this] { HandleUnexpectedError(); });
    }

    platform::forms::UserInterface& Ui();
    void UnloadAllForms();

    // For the error routines, which have nothing left to report a failure
    // to: shows a message box, after closing every form when asked to, and
    // answers why it could not be shown (empty when it was).
    std::string TellUser(const std::string& text, unsigned style, const std::string& title,
                         bool closeFormsFirst);

    // The flags lngAllFolders, lngSideMenu, lngTwoPane, lngMaximized.
    ShortcutSettings Settings;

  protected:
    // The option frames of the program's frmOptions, made on first use.
    virtual OptionFrames& OptionsFormFrames() = 0;

    platform::Platform& platform_;
};

}  // namespace settings
