#include "reg-tool/key_name.h"

#include "platform/registry/key_path.h"
#include "platform/text/text.h"

namespace reg_tool {

namespace {

constexpr const char* kCurrentUser = "HKEY_CURRENT_USER";

bool IsOtherHive(const std::string& hive) {
    for (const char* name : {"HKLM", "HKEY_LOCAL_MACHINE", "HKCR", "HKEY_CLASSES_ROOT", "HKU",
                             "HKEY_USERS", "HKCC", "HKEY_CURRENT_CONFIG"}) {
        if (platform::text::EqualsIgnoreCase(hive, name)) return true;
    }
    return false;
}

}  // namespace

std::optional<KeyName> ParseKeyName(const std::string& text, std::string* error) {
    if (platform::text::StartsWith(text, "\\\\")) {
        *error = "ERROR: Remote registries are not supported.";
        return std::nullopt;
    }
    const std::size_t slash = text.find('\\');
    const std::string hive = text.substr(0, slash);
    std::string path = slash == std::string::npos ? std::string() : text.substr(slash + 1);
    if (!platform::text::EqualsIgnoreCase(hive, "HKCU") &&
        !platform::text::EqualsIgnoreCase(hive, kCurrentUser)) {
        *error = IsOtherHive(hive)
                     ? "ERROR: Only HKEY_CURRENT_USER (HKCU) is kept in this registry."
                     : "ERROR: Invalid key name \"" + text +
                           "\". Key names begin with HKCU or HKEY_CURRENT_USER.";
        return std::nullopt;
    }
    if (platform::text::EndsWith(path, "\\")) path.pop_back();
    if (!platform::registry::SplitKeyPath(path)) {
        *error = "ERROR: Invalid key name \"" + text +
                 "\". No part of it may be empty or longer than 255 characters.";
        return std::nullopt;
    }
    return KeyName{path};
}

std::string FullKeyName(const std::string& path) {
    return path.empty() ? kCurrentUser : std::string(kCurrentUser) + "\\" + path;
}

std::string ChildPath(const std::string& path, const std::string& child) {
    return path.empty() ? child : path + "\\" + child;
}

}  // namespace reg_tool
