// The Windows attribute bits of a POSIX directory entry.
#pragma once

#include <sys/stat.h>

#include <string>

namespace platform::posix {

// Folder 16, else archive 32; read-only 1 for a file whose owner write bit
// is clear (checked from the mode, since root may write anyway); hidden 2
// for a name starting with a dot. Never system.
int AttributesOf(const std::string& name, const struct stat& st);

}  // namespace platform::posix
