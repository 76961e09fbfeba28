// How EasyReg shows a stored value as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace settings {

// The text of a value of this type and these stored bytes: a string up to
// its first NUL; a multi-string with its NULs kept, up to the last one and
// without the terminating ones; binary data as hex pairs each followed by a
// space; a DWORD as a signed decimal number. nullopt when the bytes cannot
// be such a value (a string without a NUL, a DWORD of more than four bytes).
// Other types give empty text.
std::optional<std::string> ValueText(std::uint32_t type, const std::vector<std::uint8_t>& data);

}  // namespace settings
