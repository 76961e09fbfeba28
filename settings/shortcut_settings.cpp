#include "shortcut_settings.h"

#include <utility>

#include "easy_reg.h"
#include "platform_error.h"

namespace settings {
namespace {

constexpr const char* kValueNames[4] = {"AllFolders", "SideMenu", "TwoPane", "Maximized"};
// For a registry that cannot say more about why a value was not stored.
constexpr const char* kNotStored = "The settings could not be stored in the registry.";

std::int32_t AsFlag(bool on) { return on ? 1 : 0; }

}  // namespace

ShortcutSettings::ShortcutSettings(platform::Platform& platform, OptionButtonsAccessor options,
                                   ErrorRoutine handleUnexpectedError,
                                   StoreFailureRoutine reportStoreFailure)
    : platform_(platform),
      options_(std::move(options)),
      handleUnexpectedError_(std::move(handleUnexpectedError)),
      reportStoreFailure_(std::move(reportStoreFailure)) {}

platform::Registry& ShortcutSettings::RegistryOrThrow() const {
    if (!platform_.registry) throw platform::PlatformError("the registry is not available");
    return *platform_.registry;
}

SettingsOptionButtons ShortcutSettings::ReachOptions() const {
    if (!options_) throw platform::PlatformError("the options dialog is not available");
    SettingsOptionButtons buttons = options_();
    for (platform::forms::OptionButton* button :
         {buttons.optAllFolders, buttons.optSubfoldersOnly, buttons.optSideMenu,
          buttons.optStartMenu, buttons.optTwoPane, buttons.optFolderWindow, buttons.optMaximized,
          buttons.optNormal}) {
        if (!button) throw platform::PlatformError("an option button of the dialog is missing");
    }
    return buttons;
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
    try {
        platform::Registry& registry = RegistryOrThrow();
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
        for (int i = 0; i < 4; ++i) writesFailed |= !reg.SetDWord(kValueNames[i], *flags[i], 0, "");
        StoreFailed(registry, writesFailed);
    } catch (...) {
        ReportFailure();
    }
}

void ShortcutSettings::ShowDefaultSettings() {
    const unsigned failuresBefore = failuresReported_;
    LoadDefaultSettings();
    // The error routine has closed the dialog: touching it again would
    // bring it back.
    if (failuresReported_ != failuresBefore) return;
    try {
        SettingsOptionButtons o = ReachOptions();
        o.optAllFolders->SetValue(lngAllFolders != 0);
        o.optSideMenu->SetValue(lngSideMenu != 0);
        o.optTwoPane->SetValue(lngTwoPane != 0);
        o.optMaximized->SetValue(lngMaximized != 0);
        o.optSubfoldersOnly->SetValue(lngAllFolders == 0);
        o.optStartMenu->SetValue(lngSideMenu == 0);
        o.optFolderWindow->SetValue(lngTwoPane == 0);
        o.optNormal->SetValue(lngMaximized == 0);
        if (platform_.ui) platform_.ui->DoEvents();
    } catch (...) {
        ReportFailure();
    }
}

void ShortcutSettings::SaveDefaultSettings() {
    try {
        platform::Registry& registry = RegistryOrThrow();
        registry.TakeStoreProblem();
        EasyReg reg(registry);
        reg.DefaultHive(kSettingsHive);
        reg.DefaultSubKey(kSettingsKey);
        SettingsOptionButtons o = ReachOptions();
        lngAllFolders = AsFlag(o.optAllFolders->Value());
        lngSideMenu = AsFlag(o.optSideMenu->Value());
        lngTwoPane = AsFlag(o.optTwoPane->Value());
        lngMaximized = AsFlag(o.optMaximized->Value());
        const std::int32_t flags[4] = {lngAllFolders, lngSideMenu, lngTwoPane, lngMaximized};
        bool writesFailed = false;
        for (int i = 0; i < 4; ++i) writesFailed |= !reg.SetDWord(kValueNames[i], flags[i], 0, "");
        StoreFailed(registry, writesFailed);
    } catch (...) {
        ReportFailure();
    }
}

}  // namespace settings
