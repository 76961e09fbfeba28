// Where the Start Menu lives on POSIX.
#pragma once

#include <string>

#include "platform/registry/registry.h"

namespace platform::posix {

// The value "Start Menu" of HKCU\...\Explorer\User Shell Folders when set
// (a Windows path; "%USERPROFILE%" stands for the home folder), else
// ${XDG_DATA_HOME:-$HOME/.local/share}/kestrow/Start Menu, made when missing.
// A Windows path without a trailing backslash. Throws PlatformError when it
// cannot be found or made.
std::string StartMenuFolder(Registry& registry);

// $HOME, or the user database's home folder when it is unset.
std::string HomeFolder();

}  // namespace platform::posix
