// Replacing a file so that a reader (or a crash) never sees half of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::posix {

// Writes bytes to a temporary file beside path and renames it over path. On any failure the
// temporary file is removed, the old file (if any) is untouched, and PlatformError is thrown.
void ReplaceFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace platform::posix
