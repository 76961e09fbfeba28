// How the registry compares key and value names: without regard to case,
// beyond ASCII too, as Windows does (it upper-cases each UTF-16 unit).
#pragma once

#include <string>
#include <string_view>

namespace platform::posix {

// The form under which two names are one name: every character of the Basic
// Multilingual Plane upper-cased by the simple (one-to-one) Unicode mapping.
// Characters beyond it, and bytes that are not valid UTF-8, stay as they are.
std::string FoldName(std::string_view name);

}  // namespace platform::posix
