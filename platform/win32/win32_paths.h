// Paths as Windows compares and resolves them: the folded form a shortcut's
// application id is made from, and whether a path stays inside a folder.
#pragma once

#include <string>

namespace platform::win32 {

// The full path, upper-cased the way the file system compares names, in
// UTF-8. Throws PlatformError for a path the system cannot make full.
std::string FoldedFullPath(const std::string& path);

// Whether path lies below folder, both made full and compared without
// regard to case, with no existing entry between them (the entry at path
// included) a junction, symbolic link or other reparse point, which could
// lead elsewhere. The folder itself may be one: it is where the system
// keeps it.
bool IsInsideFolder(const std::string& path, const std::string& folder);

}  // namespace platform::win32
