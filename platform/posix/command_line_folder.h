// The folder a user hands the shortcut maker on a POSIX command line, as the
// Windows path the program works with. A POSIX path becomes its Z: form
// letter for letter (trailing and doubled separators stay, as they would in
// a Windows path); a Windows path, or anything else, is left as it is. One
// pair of double quotes around the whole text is taken off first.
#pragma once

#include <string>

namespace platform::posix {

// Throws PlatformError for a POSIX path whose names hold a backslash, which a
// Windows path cannot show.
std::string CommandLineFolder(const std::string& commandLine);

}  // namespace platform::posix
