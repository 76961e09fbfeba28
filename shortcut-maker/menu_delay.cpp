// The Start Menu delay check that follows every shortcut written.
#include <cstdint>
#include <optional>

#include "platform/platform_error.h"
#include "platform/registry/reading_group.h"
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
    std::int32_t delay = kUnreadableDelay;
    bool checkOn = true;
    // Both reads from one state of the store; the write comes after.
    const settings::Outcome read = Trap([&] {
        const platform::ReadingGroup together(Store());
        delay = platform::AnswerOr(kUnreadableDelay, [&] {
            settings::EasyReg reg(Store());
            bool blnSuccess = false;
            return ParseMenuDelay(reg.GetValue("MenuShowDelay", blnSuccess, "",
                                               settings::kSettingsHive, kDesktopKey))
                .value_or(kUnreadableDelay);
        });
        settings::EasyReg reg(Store());
        bool blnSuccess = false;
        checkOn = reg.GetValue("CheckStartMenuDelay", blnSuccess, "", settings::kSettingsHive,
                               settings::kSettingsKey) != "0";
    });
    if (read == settings::Outcome::Reported) return;

    Trap([&] {
        settings::EasyReg reg(Store());
        reg.DefaultHive(settings::kSettingsHive);
        reg.DefaultSubKey(settings::kSettingsKey);
        reg.SetDWord("CheckStartMenuDelay", checkOn ? 1 : 0, 0, "");
        // No display and no terminal: the advice cannot be given this time,
        // which is no failure of the shortcut just written.
        if (checkOn && delay > kMenuDelayGoal)
            platform::Attempt([&] { Ui().Show(StartMenuSettingForm()); });
    });
}

}  // namespace shortcut_maker
