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
    // Nothing is left to report a failure to at this point.
    if (options_ && platform_.ui) platform::Attempt([&] { platform_.ui->Unload(*options_); });
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

void modMain::HandleUnexpectedError(const platform::Failure& failure) {
    errorReported_ = true;
    // A platform failure carries a sentence for the user; the store's own
    // says which file and why, and stands alone.
    std::string message = failure.ofStore ? failure.text : "Unexpected Error";
    if (!failure.ofStore && !failure.text.empty()) message += "\r\n\r\n" + failure.text;
    // With no way left to tell the user, the failing exit status is what
    // reports the error.
    TellUser(message, platform::forms::kMbOk | platform::forms::kMbIconHand, kMessageTitle, true);
}

void modMain::Warn(const std::string& strText) {
    TellUser(strText, platform::forms::kMbOk | platform::forms::kMbIconExclamation, kMessageTitle,
             false);
}

}  // namespace defaults_editor
