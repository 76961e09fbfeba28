// Replacing a file so that a reader, a full disk or a killed run never sees
// half of it: the bytes go to a hidden temporary file beside it, checked and
// flushed, which then takes the old file's place in one step.
#pragma once

#include <cstddef>
#include <string>

namespace platform::win32 {

// On any failure the temporary file is removed, the old file (if any) is
// untouched, and PlatformError names path and the system's reason. Stale
// temporary files of earlier runs in the same folder are removed first.
void ReplaceFileAtomically(const std::string& path, const void* bytes, std::size_t size);

// Whether a file name is one of the temporary names this writer gives (or
// gave in earlier versions: "<name>.lnk.<process id>.tmp").
bool IsTemporaryFileName(const std::wstring& name);

}  // namespace platform::win32
