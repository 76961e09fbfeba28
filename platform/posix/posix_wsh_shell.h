// The scripting shell object on POSIX: the Start Menu from the registry or
// the XDG data folder, and shortcut files written by the project's own writer.
#pragma once

#include "platform/posix/shell_link/shell_link.h"
#include "platform/registry/registry.h"
#include "platform/shell/wsh_shell.h"

namespace platform::posix {

class PosixWshShell : public WshShell {
  public:
    explicit PosixWshShell(Registry& registry) : registry_(registry) {}
    std::string SpecialFolder(const std::string& name) override;
    std::unique_ptr<WshShortcut> CreateShortcut(const std::string& path) override;

  private:
    Registry& registry_;
};

// The shortcut's properties as the file carries them: the target resolved
// the way the Windows shell resolves a bare program name, the icon split
// into file and index. Throws PlatformError for values a shortcut cannot hold.
ShellLink ShellLinkOf(const WshShortcut& shortcut);

// The application id a shortcut saved at this Z: path carries: the path's
// normal form, compared as Windows compares paths (without regard to case).
// Throws PlatformError for a path that is not on Z:.
std::string AppUserModelIdOfShortcut(const std::string& windowsPath);

}  // namespace platform::posix
