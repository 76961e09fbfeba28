// The name proposed for a folder's shortcut.
#pragma once

#include <string>

namespace shortcut_maker {

// The part of strPath after the last strSeparator (all of it without one).
std::string GetLastPathComponent(const std::string& strPath, const std::string& strSeparator);

// The folder path's last component (after a backslash or, for a POSIX path
// given bare, a slash), trailing separators ignored; the drive letter of a
// path of 3 characters or fewer. A name over 50 characters keeps its last 46
// behind "... ".
std::string DeriveDefaultName(const std::string& strFolderPath);

}  // namespace shortcut_maker
