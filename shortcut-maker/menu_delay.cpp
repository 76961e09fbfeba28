// The Start Menu delay check that follows every shortcut written.
#include <cstdint>
#include <optional>

#include "platform/platform_error.h"
#include "settings/easy_reg.h"
#include "shortcut-maker/frm_start_menu_setting.h"
#include "shortcut-maker/menu_delay_text.h"
#include "shortcut-maker/mod_main.h"

namespace shortcut_maker {

namespace {

constexpr std::int32_t kMenuDelayGoal = 100;
constexpr std::int32_t kUnreadableDelay = 101;
const std::string kDesktopKey = "Control Panel\\Desktop";

}  // namespace

void modMain::AdviseOnMenuDelay() {
    const std::int32_t delay = platform::AnswerOr(kUnreadableDelay, [&] {
        settings::EasyReg reg(Store());
        bool blnSuccess = false;
        return ParseMenuDelay(reg.GetValue("MenuShowDelay", blnSuccess, "", settings::kSettingsHive,
                                           kDesktopKey))
            .value_or(kUnreadableDelay);
    });

    Trap([&] {
        settings::EasyReg reg(Store());
        reg.DefaultHive(settings::kSettingsHive);
        reg.DefaultSubKey(settings::kSettingsKey);
        bool blnSuccess = false;
        const bool checkOn = reg.GetValue("CheckStartMenuDelay", blnSuccess, "", 0, "") != "0";
        reg.SetDWord("CheckStartMenuDelay", checkOn ? 1 : 0, 0, "");
        // No display and no terminal: the advice cannot be given this time,
        // which is no failure of the shortcut just written.
        if (checkOn && delay > kMenuDelayGoal)
            platform::Attempt([&] { Ui().Show(StartMenuSettingForm()); });
    });
}

}  // namespace shortcut_maker
