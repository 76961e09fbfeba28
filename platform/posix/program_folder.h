// The running program's folder, as a POSIX and as a Windows path.
#pragma once

#include <string>

namespace platform::posix {

// The folder of /proc/self/exe (fallbackProgramPath when that cannot be
// read), as a POSIX path.
std::string ProgramFolderPosix(const std::string& fallbackProgramPath = {});

// The same as a Z: path without a trailing backslash. Throws PlatformError
// when it cannot be found or represented.
std::string ProgramFolderWindows(const std::string& fallbackProgramPath = {});

}  // namespace platform::posix
