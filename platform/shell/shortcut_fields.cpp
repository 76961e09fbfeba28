#include "platform/shell/shortcut_fields.h"

#include <charconv>

#include "platform/platform_error.h"
#include "platform/text/text.h"

namespace platform {

void CheckShortcutPath(const std::string& path) {
    if (!text::EqualsIgnoreCase(text::Right(path, 4), ".lnk")) {
        throw PlatformError("The shortcut path \"" + path + "\" does not end in \".lnk\".");
    }
}

void CheckWindowStyle(int windowStyle) {
    if (windowStyle != 1 && windowStyle != 3 && windowStyle != 7) {
        throw PlatformError("The window style " + std::to_string(windowStyle) +
                            " is not one of 1 (normal), 3 (maximized) or 7 (minimized).");
    }
}

IconPlace SplitIconLocation(const std::string& location) {
    const auto comma = location.rfind(',');
    if (comma == std::string::npos) return {location, 0};
    const std::string index = text::TrimSpaces(location.substr(comma + 1));
    int value = 0;
    const auto [end, error] = std::from_chars(index.data(), index.data() + index.size(), value);
    if (index.empty() || error != std::errc() || end != index.data() + index.size()) {
        throw PlatformError("The icon location \"" + location + "\" has no valid icon number.");
    }
    return {location.substr(0, comma), value};
}

}  // namespace platform
