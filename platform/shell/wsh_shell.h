// The scripting shell object and its shortcut object: the Start Menu lookup
// and the writing of shortcut files. Paths are Windows paths.
#pragma once

#include <memory>
#include <string>

#include "platform/no_windows_macros.h"

namespace platform {

class WshShortcut {
  public:
    virtual ~WshShortcut() = default;

    std::string TargetPath;
    std::string Arguments;
    int WindowStyle = 1;       // 1 normal, 3 maximized, 7 minimized
    std::string IconLocation;  // "file,index"
    std::string Description;

    // Writes the shortcut file at the path given to CreateShortcut, whole or
    // not at all. Throws PlatformError on failure.
    virtual void Save() = 0;
};

class WshShell {
  public:
    virtual ~WshShell() = default;

    // A special folder by name ("StartMenu"); throws PlatformError when unknown.
    virtual std::string SpecialFolder(const std::string& name) = 0;

    // A shortcut object for path; nothing is written until Save.
    virtual std::unique_ptr<WshShortcut> CreateShortcut(const std::string& path) = 0;
};

}  // namespace platform
