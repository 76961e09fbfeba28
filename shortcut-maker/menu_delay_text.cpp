#include "shortcut-maker/menu_delay_text.h"

#include <cctype>
#include <limits>

namespace shortcut_maker {

std::optional<std::int32_t> ParseMenuDelay(const std::string& text) {
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

}  // namespace shortcut_maker
