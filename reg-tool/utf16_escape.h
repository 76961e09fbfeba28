// UTF-8 <-> UTF-16 for .reg files that loses nothing: a byte that is not part
// of valid UTF-8 travels as a lone low surrogate U+DC80..U+DCFF and comes back
// as that byte, so store bytes of any kind survive an export and import.
#pragma once

#include <string>
#include <string_view>

namespace reg_tool {

std::u16string ToUtf16Escaped(std::string_view bytes);
std::string FromUtf16Escaped(std::u16string_view text);

}  // namespace reg_tool
