// Reading the Start Menu delay, which the registry keeps as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace shortcut_maker {

// The delay text as a whole number: surrounding spaces, a sign and a
// fraction (rounded half to even) are accepted, whatever the locale's
// decimal point; anything else, or a number beyond 32 bits, is no number.
std::optional<std::int32_t> ParseMenuDelay(const std::string& text);

}  // namespace shortcut_maker
