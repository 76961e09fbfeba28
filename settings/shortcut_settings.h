// The four shortcut settings both programs keep in their modMain: held as
// 1 or 0 in the lng flags, stored as REG_DWORD 1 or 0 under the settings key,
// and shown in the option frames of the program's frmOptions.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/error_trap.h"
#include "platform/platform.h"
#include "settings/option_frames.h"
#include "settings/outcome.h"

namespace settings {

// HKEY_CURRENT_USER, as the signed handle EasyReg takes.
constexpr std::int32_t kSettingsHive = static_cast<std::int32_t>(platform::kHkeyCurrentUser);
inline const std::string kSettingsKey = "Software\\Tamsholt\\Kestrow 2005";

class ShortcutSettings {
  public:
    // Reaches the option frames of the program's frmOptions (creating it on
    // first use); may throw.
    using OptionFramesAccessor = std::function<OptionFrames&()>;
    // The program's HandleUnexpectedError: closes the forms and tells the
    // failure (a store that cannot be used, by its own sentence).
    using ErrorRoutine = std::function<void(const platform::Failure&)>;
    // Tells the user something and leaves the forms open.
    using WarningRoutine = std::function<void(const std::string& text)>;

    ShortcutSettings(platform::Platform& platform, OptionFramesAccessor options,
                     ErrorRoutine handleUnexpectedError, WarningRoutine warn);

    // Each holds 1 or 0 once loaded; 0 before.
    std::int32_t lngAllFolders = 0;
    std::int32_t lngSideMenu = 0;
    std::int32_t lngTwoPane = 0;
    std::int32_t lngMaximized = 0;

    // Reads the four values into the flags (anything but the text "0" is 1,
    // a missing or unreadable value too) and writes them straight back as
    // DWORDs. A rewrite the registry refuses is passed over: the values read
    // are in use and nothing is lost. A store that fails otherwise goes to
    // the error routine, and nothing is written back over values it could
    // not read.
    Outcome LoadDefaultSettings();
    // Loads, then sets the option buttons from the flags.
    Outcome ShowDefaultSettings();
    // Takes the flags from the four "on" buttons and stores them. A value
    // the registry refused is told, naming the key and the cause, and the
    // forms stay open so that the user can try again or cancel; a store
    // that cannot be used goes to the error routine, as on a load.
    Outcome SaveDefaultSettings();

    // Whether the last save the user asked for was refused: the run then
    // ends as a failure unless a later save succeeds.
    bool SaveRefused() const { return saveRefused_; }

  private:
    platform::Registry& Store() const;
    OptionFrames& ReachOptions() const;
    Outcome Trapped(const std::function<void()>& routine);

    platform::Platform& platform_;
    OptionFramesAccessor options_;
    ErrorRoutine handleUnexpectedError_;
    WarningRoutine warn_;
    bool saveRefused_ = false;
};

}  // namespace settings
