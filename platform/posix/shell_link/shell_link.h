// The properties of one shortcut file (.lnk) as this project writes and
// reads them. Paths are Windows paths; text is UTF-8.
#pragma once

#include <cstdint>
#include <string>

namespace platform::posix {

constexpr std::uint32_t kShowNormal = 1;
constexpr std::uint32_t kShowMaximized = 3;
constexpr std::uint32_t kShowMinNoActive = 7;

struct ShellLink {
    // The resolved target: an absolute path on a drive ("C:\Windows\explorer.exe").
    std::string targetPath;
    std::string arguments;
    std::string description;
    std::string iconLocation;  // the icon file alone, without ",index"
    std::int32_t iconIndex = 0;
    std::uint32_t showCommand = kShowNormal;
    // System.AppUserModel.ID, in a property store block; none when empty.
    std::string appUserModelId;
};

}  // namespace platform::posix
