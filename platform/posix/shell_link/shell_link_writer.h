// Writes shortcut files in Microsoft's Shell Link Binary File Format: the
// header, an item ID list and link info for the target on a fixed drive, and
// the strings in UTF-16, and the application id in a property store block.
// No working directory, hot key or relative path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/posix/shell_link/shell_link.h"

namespace platform::posix {

// The file's bytes. Throws PlatformError for a target that is not an
// absolute ASCII path on a drive, a show command other than 1, 3 or 7, a
// string longer than the format's 65535 UTF-16 units, or an application id
// Windows would refuse.
std::vector<std::uint8_t> EncodeShellLink(const ShellLink& link);

// Encodes link and replaces the file at posixPath with it, whole or not at
// all. Throws PlatformError on failure, leaving any old file as it was.
void WriteShellLinkFile(const std::string& posixPath, const ShellLink& link);

}  // namespace platform::posix
