// Reads back the properties of a shortcut file; for tests and tools. Only
// the parts this project writes are interpreted (the application id among
// the extra data too); the rest is skipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/posix/shell_link/shell_link.h"

namespace platform::posix {

struct ShellLinkContents {
    ShellLink link;  // targetPath comes from the link info's local base path
    std::uint32_t linkFlags = 0;
    std::uint16_t hotKey = 0;
    bool hasWorkingDir = false;
    bool hasRelativePath = false;
};

// Throws PlatformError when the bytes are not a well-formed shell link.
ShellLinkContents DecodeShellLink(const std::vector<std::uint8_t>& bytes);

// Reads the file at posixPath; throws PlatformError when it cannot.
ShellLinkContents ReadShellLinkFile(const std::string& posixPath);

}  // namespace platform::posix
