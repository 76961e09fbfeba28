// What both programs' modMain build on: the platform they run on, the
// shortcut settings shown in the option frames of their frmOptions, and their
// error routine, to which the settings and every trapped routine report.
#pragma once

#include <string>
#include <utility>

#include "platform/error_trap.h"
#include "platform/platform.h"
#include "settings/option_frames.h"
#include "settings/outcome.h"
#include "settings/shortcut_settings.h"

namespace settings {

class ProgramModule {
  public:
    explicit ProgramModule(platform::Platform& platform);
    virtual ~ProgramModule() = default;
    ProgramModule(const ProgramModule&) = delete;
    ProgramModule& operator=(const ProgramModule&) = delete;

    // The program's one error routine: closes every form and tells the
    // user. A settings store that cannot be used is told by its own
    // sentence, which names the store and the cause; the run then fails.
    virtual void HandleUnexpectedError(const platform::Failure& failure = {}) = 0;
    // A message box with OK and the exclamation icon; the forms stay open.
    virtual void Warn(const std::string& strText) = 0;

    // Runs a routine or handler under its error trap: a failure inside it
    // goes to HandleUnexpectedError.
    template <typename Routine>
    Outcome Trap(Routine&& routine) {
        const bool done = platform::RunTrapped(
            std::forward<Routine>(routine),
            [this](const platform::Failure& failure) { HandleUnexpectedError(failure); });
        return done ? Outcome::Done : Outcome::Reported;
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
