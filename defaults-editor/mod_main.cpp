#include "defaults-editor/mod_main.h"

#include <string>

#include "defaults-editor/frm_options.h"
#include "platform/forms/message_box.h"
#include "platform/forms/user_interface.h"

namespace defaults_editor {
namespace {

constexpr const char* kProgramName = "KestrowDefaults2005";
constexpr const char* kMessageTitle = "Kestrow Default Settings";

}  // namespace

modMain::modMain(platform::Platform& platform) : ProgramModule(platform) {}

modMain::~modMain() {
    // The user interface keeps a list of loaded forms; ours must leave it
    // before the form object goes.
    if (options_ && platform_.ui) {
        try {
            platform_.ui->Unload(*options_);
        } catch (...) {
            // Nothing is left to report to at this point.
        }
    }
}

frmOptions& modMain::Options() {
    if (!options_) options_ = std::make_unique<frmOptions>(Ui(), *this);
    return *options_;
}

settings::OptionFrames& modMain::OptionsFormFrames() { return Options(); }

void modMain::Main() {
    Trap([&] {
        if (platform_.instances->PreviousInstanceRunning(kProgramName)) {
            Ui().MsgBox("Kestrow 2005 Default Settings is already running on your system.",
                        platform::forms::kMbOk | platform::forms::kMbIconInformation,
                        kMessageTitle);
            return;
        }
        Ui().Show(Options(), platform::forms::ShowMode::Modeless);
    });
}

void modMain::HandleUnexpectedError() {
    // Called inside the trap that caught the failure: a platform failure
    // carries a sentence for the user.
    std::string message = "Unexpected Error";
    const std::string cause = platform::TrappedFailureText();
    if (!cause.empty()) message += "\r\n\r\n" + cause;
    CloseWithMessage(message);
}

void modMain::ReportStoreProblem(const std::string& strProblem) { CloseWithMessage(strProblem); }

void modMain::CloseWithMessage(const std::string& strText) {
    errorReported_ = true;
    // With no way left to tell the user, the failing exit status is what
    // reports the error.
    TellUser(strText, platform::forms::kMbOk | platform::forms::kMbIconHand, kMessageTitle, true);
}

}  // namespace defaults_editor
