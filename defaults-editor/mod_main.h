// The defaults editor's module: its start-up, its one error routine, its
// copy of the shortcut settings and its single frmOptions.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "error_trap.h"
#include "platform.h"
#include "settings/shortcut_settings.h"

namespace defaults_editor {

class frmOptions;

class modMain {
  public:
    explicit modMain(platform::Platform& platform);
    ~modMain();
    modMain(const modMain&) = delete;
    modMain& operator=(const modMain&) = delete;

    // Refuses a second instance with a message; otherwise shows the dialog
    // modeless and returns. The caller then runs the message loop.
    void Main();

    // Unloads every form, then shows "Unexpected Error" (with the cause
    // when a platform failure gave one).
    void HandleUnexpectedError();
    // Runs a routine or handler under its error trap: a failure inside it
    // goes to HandleUnexpectedError.
    template <typename Routine>
    void Trap(Routine&& routine) {
        platform::RunTrapped(std::forward<Routine>(routine), [this] { HandleUnexpectedError(); });
    }
    // Unloads every form, then tells the user that the settings store could
    // not be used (the text names it and the cause); the run then fails.
    void ReportStoreProblem(const std::string& strProblem);
    // Whether HandleUnexpectedError has run, so that the process can end
    // with a failure status.
    bool ErrorReported() const { return errorReported_; }

    void LoadDefaultSettings() { Settings.LoadDefaultSettings(); }
    void ShowDefaultSettings() { Settings.ShowDefaultSettings(); }
    void SaveDefaultSettings() { Settings.SaveDefaultSettings(); }

    // The dialog's one instance, made on first use.
    frmOptions& Options();

    // The flags lngAllFolders, lngSideMenu, lngTwoPane, lngMaximized.
    settings::ShortcutSettings Settings;

  private:
    platform::forms::UserInterface& Ui();
    void CloseWithMessage(const std::string& strText);

    platform::Platform& platform_;
    std::unique_ptr<frmOptions> options_;
    bool errorReported_ = false;
};

}  // namespace defaults_editor
