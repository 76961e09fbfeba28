// Whether a shortcut path stays inside the Start Menu tree, judged from the
// text alone. Names come from the command line unchecked, and a ".." or a
// separator in one must never let the program write elsewhere.
#pragma once

#include <string>

namespace shortcut_maker {

// True when shortcutName is a plain file name, shortcutPath ends in it and
// ".lnk", and shortcutPath, with "." and ".." resolved, lies below
// startMenuPath (compared without regard to case). What links make of the
// path is the platform's to say.
bool NamesAShortcutInsideStartMenu(const std::string& startMenuPath,
                                   const std::string& shortcutName,
                                   const std::string& shortcutPath);

}  // namespace shortcut_maker
