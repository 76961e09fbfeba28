// Keeping every shortcut inside the Start Menu tree.
#include <exception>
#include <vector>

#include "platform/text/text.h"
#include "shortcut-maker/mod_main.h"
#include "shortcut-maker/windows_names.h"

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

bool modMain::ShortcutPathIsSafe() const {
    if (ShortcutName.empty() || ShortcutName.find_first_of("\\/") != std::string::npos) {
        return false;
    }
    if (!IsNameWindowsCanHold(ShortcutName)) return false;
    if (!platform::text::EndsWith(ShortcutPath, ShortcutName + ".lnk")) return false;

    std::vector<std::string> startMenu;
    std::vector<std::string> shortcut;
    if (StartMenuPath.empty() || !NormalisedComponents(StartMenuPath, startMenu) ||
        !NormalisedComponents(ShortcutPath, shortcut)) {
        return false;
    }
    if (shortcut.size() <= startMenu.size()) return false;
    for (std::size_t i = 0; i < startMenu.size(); ++i) {
        if (!platform::text::EqualsIgnoreCase(shortcut[i], startMenu[i])) return false;
    }
    // The platform knows what links and mappings make of the path.
    return platform::AnswerOr(
        false, [&] { return platform_.isInsideFolder(ShortcutPath, StartMenuPath); });
}

void modMain::RefuseUnsafeShortcutPath() {
    // In the dialog the user can still choose another name or place.
    if (DirectMode) refused_ = true;
    const bool plainName =
        !ShortcutName.empty() && ShortcutName.find_first_of("\\/") == std::string::npos;
    // With a plain name only the folder can lead elsewhere: the Start Menu
    // itself, or the side menu inside it.
    const bool startMenuUsable = !plainName || platform::AnswerOr(false, [&] {
        return platform_.isInsideFolder(StartMenuPath + ShortcutName + ".lnk", StartMenuPath);
    });
    if (!plainName) {
        Warn("A shortcut called \"" + ShortcutName +
             "\" cannot be made: its name must be a plain file name that keeps the shortcut "
             "inside the Start Menu.");
    } else if (!IsNameWindowsCanHold(ShortcutName)) {
        Warn(WindowsNameRefusal(ShortcutName));
    } else if (!startMenuUsable) {
        Warn("The Start Menu folder \"" + StartMenuPath +
             "\" cannot be reached on this system, so no shortcut can be made in it.");
    } else if (platform::text::StartsWith(ShortcutPath, SideMenuPath)) {
        Warn("The side menu folder \"" + SideMenuPath +
             "\" leads outside the Start Menu (it may be a link to another folder), so no "
             "shortcut is made in it.");
    } else {
        Warn("A shortcut called \"" + ShortcutName +
             "\" cannot be made: its name must be a plain file name that keeps the shortcut "
             "inside the Start Menu.");
    }
}

void modMain::RefuseFolder(const std::string& strText) {
    refused_ = true;
    Warn(strText);
}

}  // namespace shortcut_maker
