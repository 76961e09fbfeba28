// The defaults editor's module: its start-up, its one error routine, its
// copy of the shortcut settings and its single frmOptions.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "settings/program_module.h"

namespace defaults_editor {

class frmOptions;

class modMain : public settings::ProgramModule {
  public:
    explicit modMain(platform::Platform& platform);
    ~modMain() override;

    // Refuses a second instance with a message; otherwise shows the dialog
    // modeless and returns. The caller then runs the message loop.
    void Main();

    // Unloads every form, then shows "Unexpected Error" (with the cause
    // when a platform failure gave one), or the store's own sentence.
    void HandleUnexpectedError(const platform::Failure& failure = {}) override;
    void Warn(const std::string& strText) override;
    // Whether the run failed, so that the process can end with a failure
    // status: HandleUnexpectedError has run, or the last save was refused.
    bool ErrorReported() const { return errorReported_ || Settings.SaveRefused(); }

    settings::Outcome LoadDefaultSettings() { return Settings.LoadDefaultSettings(); }
    settings::Outcome ShowDefaultSettings() { return Settings.ShowDefaultSettings(); }
    settings::Outcome SaveDefaultSettings() { return Settings.SaveDefaultSettings(); }

    // The dialog's one instance, made on first use.
    frmOptions& Options();

  protected:
    settings::OptionFrames& OptionsFormFrames() override;

  private:
    std::unique_ptr<frmOptions> options_;
    bool errorReported_ = false;
};

}  // namespace defaults_editor
