// Key names as the user writes them: a hive, then the path below it.
#pragma once

#include <optional>
#include <string>

namespace reg_tool {

struct KeyName {
    std::string path;  // below HKEY_CURRENT_USER; empty for the hive itself
};

// Parses "HKCU\Software\X" or "HKEY_CURRENT_USER\Software\X" (hive case-
// insensitive, one trailing backslash allowed). On failure returns nullopt
// and sets error to the message for the user.
std::optional<KeyName> ParseKeyName(const std::string& text, std::string* error);

// "HKEY_CURRENT_USER\path".
std::string FullKeyName(const std::string& path);

// path\child, or child alone below the hive.
std::string ChildPath(const std::string& path, const std::string& child);

}  // namespace reg_tool
