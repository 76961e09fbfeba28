// Windows paths <-> POSIX paths. The drive Z: is the POSIX root:
// "/home/ann/Data" is "Z:\home\ann\Data" and "/" is "Z:\". Other drives,
// relative, drive-relative and UNC paths have no POSIX path: the file-system
// calls treat them as missing.
//
// Normalisation rule: both "\" and "/" separate components; empty and "."
// components are dropped; ".." removes the component before it and stays at
// the root when there is none, as Windows resolves "C:\..\x" to "C:\x". The
// result is purely lexical, so the POSIX path handed to the system never
// holds ".." and a caller that checks the mapped path with IsInsideFolder
// sees exactly the file that will be touched.
#pragma once

#include <optional>
#include <string>

namespace platform::posix {

// The POSIX path of a Z: path, or nullopt for any other path.
std::optional<std::string> TryPosixPathOf(const std::string& windowsPath);

// As TryPosixPathOf; throws PlatformError naming the path when it has none.
std::string PosixPathOf(const std::string& windowsPath);

// The Z: path of an absolute POSIX path, normalised as above. Throws
// PlatformError for a relative path or a name holding a backslash, which a
// Windows path cannot represent.
std::string WindowsPathOf(const std::string& posixPath);

// True when windowsPath lies below windowsFolder (not the folder itself),
// both on Z:. ".." is resolved lexically, and the longest existing part of
// each is resolved through symbolic links, so neither can lead outside.
bool IsInsideFolder(const std::string& windowsPath, const std::string& windowsFolder);

}  // namespace platform::posix
