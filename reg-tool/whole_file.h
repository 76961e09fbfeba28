// Writing a file whole or not at all.
#pragma once

#include <string>

namespace reg_tool {

// Writes bytes to a new file beside path and renames it over path, so that a
// failure leaves no half file. The new file is created exclusively and never
// through a symbolic link, so a link planted at its name cannot redirect the
// write; it gets the permissions a new file gets (0666 less the umask).
// On failure returns false and sets error.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace reg_tool
