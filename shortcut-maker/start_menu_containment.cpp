#include "shortcut-maker/start_menu_containment.h"

#include <vector>

#include "platform/text/text.h"

namespace shortcut_maker {

namespace {

// The components of a Windows path with "." and ".." resolved; false when a
// ".." climbs above the start. Slashes count as separators, as Windows and
// the POSIX mapping both treat them.
bool NormalisedComponents(const std::string& path, std::vector<std::string>& out) {
    out.clear();
    std::string part;
    auto flush = [&]() {
        if (part == "..") {
            if (out.empty()) return false;
            out.pop_back();
        } else if (!part.empty() && part != ".") {
            out.push_back(part);
        }
        part.clear();
        return true;
    };
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!flush()) return false;
        } else {
            part += c;
        }
    }
    return flush();
}

}  // namespace

bool NamesAShortcutInsideStartMenu(const std::string& startMenuPath,
                                   const std::string& shortcutName,
                                   const std::string& shortcutPath) {
    if (shortcutName.empty() || shortcutName.find_first_of("\\/") != std::string::npos) {
        return false;
    }
    if (!platform::text::EndsWith(shortcutPath, shortcutName + ".lnk")) return false;

    std::vector<std::string> startMenu;
    std::vector<std::string> shortcut;
    if (startMenuPath.empty() || !NormalisedComponents(startMenuPath, startMenu) ||
        !NormalisedComponents(shortcutPath, shortcut)) {
        return false;
    }
    if (shortcut.size() <= startMenu.size()) return false;
    for (std::size_t i = 0; i < startMenu.size(); ++i) {
        if (!platform::text::EqualsIgnoreCase(shortcut[i], startMenu[i])) return false;
    }
    return true;
}

}  // namespace shortcut_maker
