// The Start Menu delay check that follows every shortcut written.
#include <cctype>
#include <cstdint>
#include <limits>
#include <optional>

#include "platform/platform_error.h"
#include "settings/easy_reg.h"
#include "shortcut-maker/frm_start_menu_setting.h"
#include "shortcut-maker/mod_main.h"

namespace shortcut_maker {

namespace {

constexpr std::int32_t kMenuDelayGoal = 100;
constexpr std::int32_t kUnreadableDelay = 101;
const std::string kDesktopKey = "Control Panel\\Desktop";

// The delay text as a whole number: surrounding spaces, a sign and a
// fraction (rounded half to even) are accepted; anything else is no number.
std::optional<std::int32_t> ParseDelay(const std::string& text) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && text[i] == ' ') ++i;
    while (end > i && text[end - 1] == ' ') --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string digits;
    bool sawDigit = false;
    bool sawPoint = false;
    for (; i < end; ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            sawDigit = true;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            return std::nullopt;
        }
        digits += c;
        if (digits.size() > 40) return std::nullopt;
    }
    if (!sawDigit) return std::nullopt;
    // Worked out digit by digit: the C library's conversions follow the
    // locale, in which the decimal point may be a comma.
    const std::size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
    whole.erase(0, whole.find_first_not_of('0'));
    if (whole.size() > 10) return std::nullopt;
    std::int64_t value = 0;
    for (char c : whole) value = value * 10 + (c - '0');
    if (!fraction.empty()) {
        const bool exactlyHalf =
            fraction[0] == '5' && fraction.find_first_not_of('0', 1) == std::string::npos;
        if (fraction[0] > '5' || (fraction[0] == '5' && !exactlyHalf) ||
            (exactlyHalf && value % 2 == 1)) {
            ++value;
        }
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max() ||
        value < std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

void modMain::AdviseOnMenuDelay() {
    const std::int32_t delay = platform::AnswerOr(kUnreadableDelay, [&] {
        settings::EasyReg reg(Store());
        bool blnSuccess = false;
        return ParseDelay(reg.GetValue("MenuShowDelay", blnSuccess, "", settings::kSettingsHive,
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
