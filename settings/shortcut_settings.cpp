#include "settings/shortcut_settings.h"

#include <utility>

#include "platform/error_trap.h"
#include "platform/platform_error.h"
#include "settings/easy_reg.h"

namespace settings {
namespace {

constexpr const char* kValueNames[4] = {"AllFolders", "SideMenu", "TwoPane", "Maximized"};
// For a registry that cannot say more about why a value was not stored.
constexpr const char* kNotStored = "The settings could not be stored in the registry.";

std::int32_t AsFlag(bool on) { return on ? 1 : 0; }

}  // namespace

ShortcutSettings::ShortcutSettings(platform::Platform& platform, OptionFramesAccessor options,
                                   ErrorRoutine handleUnexpectedError,
                                   StoreFailureRoutine reportStoreFailure)
    : platform_(platform),
      options_(std::move(options)),
      handleUnexpectedError_(std::move(handleUnexpectedError)),
      reportStoreFailure_(std::move(reportStoreFailure)) {}

platform::Registry& ShortcutSettings::Store() const { return *platform_.registry; }

OptionFrames& ShortcutSettings::ReachOptions() const {
    if (!options_) throw platform::PlatformError("the options dialog is not available");
    return options_();
}

void ShortcutSettings::ReportFailure() {
    ++failuresReported_;
    if (handleUnexpectedError_) handleUnexpectedError_();
}

bool ShortcutSettings::StoreFailed(platform::Registry& registry, bool writesFailed) {
    std::string problem = registry.TakeStoreProblem();
    if (problem.empty() && !writesFailed) return false;
    if (problem.empty()) problem = kNotStored;
    ++failuresReported_;
    if (reportStoreFailure_) {
        reportStoreFailure_(problem);
    } else if (handleUnexpectedError_) {
        handleUnexpectedError_();
    }
    return true;
}

void ShortcutSettings::LoadDefaultSettings() {
    platform::RunTrapped(
        [&] {
            platform::Registry& registry = Store();
            registry.TakeStoreProblem();  // what came before is not this load's
            EasyReg reg(registry);
            reg.DefaultHive(kSettingsHive);
            reg.DefaultSubKey(kSettingsKey);
            std::int32_t* flags[4] = {&lngAllFolders, &lngSideMenu, &lngTwoPane, &lngMaximized};
            for (int i = 0; i < 4; ++i) {
                bool blnSuccess = false;
                *flags[i] = AsFlag(reg.GetValue(kValueNames[i], blnSuccess, "", 0, "") != "0");
            }
            if (StoreFailed(registry)) return;
            bool writesFailed = false;
            for (int i = 0; i < 4; ++i)
                writesFailed |= !reg.SetDWord(kValueNames[i], *flags[i], 0, "");
            StoreFailed(registry, writesFailed);
        },
        [this] { ReportFailure(); });
}

void ShortcutSettings::ShowDefaultSettings() {
    const unsigned failuresBefore = failuresReported_;
    LoadDefaultSettings();
    // The error routine has closed the dialog: touching it again would
    // bring it back.
    if (failuresReported_ != failuresBefore) return;
    platform::RunTrapped(
        [&] {
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
        },
        [this] { ReportFailure(); });
}

void ShortcutSettings::SaveDefaultSettings() {
    platform::RunTrapped(
        [&] {
            platform::Registry& registry = Store();
            registry.TakeStoreProblem();
            EasyReg reg(registry);
            reg.DefaultHive(kSettingsHive);
            reg.DefaultSubKey(kSettingsKey);
            OptionFrames& o = ReachOptions();
            lngAllFolders = AsFlag(o.optAllFolders.Value());
            lngSideMenu = AsFlag(o.optSideMenu.Value());
            lngTwoPane = AsFlag(o.optTwoPane.Value());
            lngMaximized = AsFlag(o.optMaximized.Value());
            const std::int32_t flags[4] = {lngAllFolders, lngSideMenu, lngTwoPane, lngMaximized};
            bool writesFailed = false;
            for (int i = 0; i < 4; ++i)
                writesFailed |= !reg.SetDWord(kValueNames[i], flags[i], 0, "");
            StoreFailed(registry, writesFailed);
        },
        [this] { ReportFailure(); });
}

}  // namespace settings
