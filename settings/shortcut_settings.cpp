#include "settings/shortcut_settings.h"

#include <optional>
#include <utility>

#include "platform/platform_error.h"
#include "platform/registry/reading_group.h"
#include "settings/easy_reg.h"

namespace settings {
namespace {

constexpr const char* kValueNames[4] = {"AllFolders", "SideMenu", "TwoPane", "Maximized"};
// For a registry that cannot say more about why a value was not stored.
constexpr const char* kNotStored = "The settings could not be stored in the registry.";

std::int32_t AsFlag(bool on) { return on ? 1 : 0; }

void UseSettingsKey(EasyReg& reg) {
    reg.DefaultHive(kSettingsHive);
    reg.DefaultSubKey(kSettingsKey);
}

bool Refused(const platform::RegResult& result) {
    return result.Code() == platform::kErrorAccessDenied;
}

// A failure of the store itself, beyond a missing or refused key or data
// that is no value: the registry says why.
bool StoreFailed(const platform::RegResult& result) {
    return !result.Succeeded() && result.Code() != platform::kErrorFileNotFound &&
           !Refused(result) && !result.Reason().empty();
}

// The store's sentence stands alone; a registry that could not be reached
// at all (EasyReg answers kErrorInvalidFunction) is an unexpected failure.
[[noreturn]] void ThrowStoreFailure(const platform::RegResult& result) {
    throw platform::PlatformError(result.Reason().empty() ? kNotStored : result.Reason(),
                                  result.Code() == platform::kErrorInvalidFunction
                                      ? platform::PlatformError::Source::Call
                                      : platform::PlatformError::Source::Store);
}

std::string NotStoredMessage(const platform::RegResult& result) {
    std::string text = "The settings could not be stored in the registry key HKEY_CURRENT_USER\\" +
                       kSettingsKey + ".";
    if (!result.Reason().empty()) text += "\r\n\r\n" + result.Reason();
    return text;
}

}  // namespace

ShortcutSettings::ShortcutSettings(platform::Platform& platform, OptionFramesAccessor options,
                                   ErrorRoutine handleUnexpectedError, WarningRoutine warn)
    : platform_(platform),
      options_(std::move(options)),
      handleUnexpectedError_(std::move(handleUnexpectedError)),
      warn_(std::move(warn)) {}

platform::Registry& ShortcutSettings::Store() const { return *platform_.registry; }

OptionFrames& ShortcutSettings::ReachOptions() const {
    if (!options_) throw platform::PlatformError("the options dialog is not available");
    return options_();
}

Outcome ShortcutSettings::Trapped(const std::function<void()>& routine) {
    const bool done = platform::RunTrapped(routine, [this](const platform::Failure& failure) {
        if (handleUnexpectedError_) handleUnexpectedError_(failure);
    });
    return done ? Outcome::Done : Outcome::Reported;
}

Outcome ShortcutSettings::LoadDefaultSettings() {
    return Trapped([&] {
        EasyReg reg(Store());
        UseSettingsKey(reg);
        std::int32_t* flags[4] = {&lngAllFolders, &lngSideMenu, &lngTwoPane, &lngMaximized};
        bool allRead = true;
        std::optional<platform::RegResult> storeFailure;
        {
            const platform::ReadingGroup together(Store());
            for (int i = 0; i < 4; ++i) {
                bool blnSuccess = false;
                platform::RegResult read;
                *flags[i] =
                    AsFlag(reg.GetValue(kValueNames[i], blnSuccess, "", 0, "", &read) != "0");
                if (StoreFailed(read) && !storeFailure) storeFailure = read;
                allRead = allRead && !Refused(read);
            }
        }
        if (storeFailure) ThrowStoreFailure(*storeFailure);
        // A default standing in for a value that could not be read must
        // not replace it.
        if (!allRead) return;
        for (int i = 0; i < 4; ++i) {
            platform::RegResult written;
            if (!reg.SetDWord(kValueNames[i], *flags[i], 0, "", &written) && !Refused(written))
                ThrowStoreFailure(written);
        }
    });
}

Outcome ShortcutSettings::ShowDefaultSettings() {
    // After a failed load the error routine has closed the dialog: touching
    // it again would bring it back.
    if (LoadDefaultSettings() == Outcome::Reported) return Outcome::Reported;
    return Trapped([&] {
        OptionFrames& o = ReachOptions();
        o.optAllFolders.SetValue(lngAllFolders != 0);
        o.optSideMenu.SetValue(lngSideMenu != 0);
        o.optTwoPane.SetValue(lngTwoPane != 0);
        o.optMaximized.SetValue(lngMaximized != 0);
        o.optSubfoldersOnly.SetValue(lngAllFolders == 0);
        o.optStartMenu.SetValue(lngSideMenu == 0);
        o.optFolderWindow.SetValue(lngTwoPane == 0);
        o.optNormal.SetValue(lngMaximized == 0);
        platform_.ui->DoEvents();
    });
}

Outcome ShortcutSettings::SaveDefaultSettings() {
    std::optional<platform::RegResult> refusal;
    const Outcome outcome = Trapped([&] {
        EasyReg reg(Store());
        UseSettingsKey(reg);
        OptionFrames& o = ReachOptions();
        lngAllFolders = AsFlag(o.optAllFolders.Value());
        lngSideMenu = AsFlag(o.optSideMenu.Value());
        lngTwoPane = AsFlag(o.optTwoPane.Value());
        lngMaximized = AsFlag(o.optMaximized.Value());
        const std::int32_t flags[4] = {lngAllFolders, lngSideMenu, lngTwoPane, lngMaximized};
        std::optional<platform::RegResult> storeFailure;
        for (int i = 0; i < 4; ++i) {
            platform::RegResult written;
            if (reg.SetDWord(kValueNames[i], flags[i], 0, "", &written)) continue;
            if (StoreFailed(written) && !storeFailure) storeFailure = written;
            if (!refusal) refusal = written;
        }
        // A store that cannot be used is told as any load would tell it.
        if (storeFailure) ThrowStoreFailure(*storeFailure);
    });
    if (outcome == Outcome::Reported) return outcome;
    saveRefused_ = refusal.has_value();
    if (!refusal) return Outcome::Done;
    if (warn_) warn_(NotStoredMessage(*refusal));
    return Outcome::Reported;
}

}  // namespace settings
