// The four shortcut settings both programs keep in their modMain: held as
// 1 or 0 in the lng flags, stored as REG_DWORD 1 or 0 under the settings key,
// and shown in the option frames of the program's frmOptions.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"
#include "settings/option_frames.h"

namespace settings {

// HKEY_CURRENT_USER, as the signed handle EasyReg takes.
constexpr std::int32_t kSettingsHive = static_cast<std::int32_t>(platform::kHkeyCurrentUser);
inline const std::string kSettingsKey = "Software\\Tamsholt\\Kestrow 2005";

class ShortcutSettings {
  public:
    // Reaches the option frames of the program's frmOptions (creating it on
    // first use); may throw.
    using OptionFramesAccessor = std::function<OptionFrames&()>;
    // The program's HandleUnexpectedError.
    using ErrorRoutine = std::function<void()>;
    // Tells the user that the settings store could not be used, and why;
    // like the error routine it closes the program's forms. Empty: the
    // error routine stands in.
    using StoreFailureRoutine = std::function<void(const std::string& problem)>;

    ShortcutSettings(platform::Platform& platform, OptionFramesAccessor options,
                     ErrorRoutine handleUnexpectedError,
                     StoreFailureRoutine reportStoreFailure = {});

    // Each holds 1 or 0 once loaded; 0 before.
    std::int32_t lngAllFolders = 0;
    std::int32_t lngSideMenu = 0;
    std::int32_t lngTwoPane = 0;
    std::int32_t lngMaximized = 0;

    // Reads the four values into the flags (anything but the text "0" is 1,
    // a missing value too) and writes them straight back as DWORDs. A store
    // that could not be read is reported and nothing is written back: the
    // defaults standing in for unread values must not replace them.
    void LoadDefaultSettings();
    // Loads, then sets the option buttons from the flags.
    void ShowDefaultSettings();
    // Takes the flags from the four "on" buttons and stores them; a value
    // that could not be stored is reported, never passed over.
    void SaveDefaultSettings();

  private:
    platform::Registry& Store() const;
    OptionFrames& ReachOptions() const;
    void ReportFailure();
    // Reports the store's problem when a call since the last look met one,
    // or when writesFailed; true when it did.
    bool StoreFailed(platform::Registry& registry, bool writesFailed = false);

    platform::Platform& platform_;
    OptionFramesAccessor options_;
    ErrorRoutine handleUnexpectedError_;
    StoreFailureRoutine reportStoreFailure_;
    unsigned failuresReported_ = 0;
};

}  // namespace settings
