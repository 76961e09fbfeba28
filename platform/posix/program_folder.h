// The running program's folder and the folder browser, as Windows paths.
#pragma once

#include <string>

#include "platform/forms/user_interface.h"

namespace platform::posix {

// The folder of /proc/self/exe (fallbackProgramPath when that cannot be
// read), as a POSIX path.
std::string ProgramFolderPosix(const std::string& fallbackProgramPath = {});

// The same as a Z: path without a trailing backslash. Throws PlatformError
// when it cannot be found or represented.
std::string ProgramFolderWindows(const std::string& fallbackProgramPath = {});

// Asks the backend's folder browser; empty text when cancelled. Throws
// PlatformError when the answer cannot be shown as a Windows path.
std::string BrowseForFolderWindows(forms::UserInterface& ui, const std::string& instruction);

}  // namespace platform::posix
