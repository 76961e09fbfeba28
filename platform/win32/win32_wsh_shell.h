// The scripting shell object on Windows: the Start Menu from the shell's
// special folder, shortcuts through the shell's own IShellLinkW.
#pragma once

#include "platform/shell/wsh_shell.h"

namespace platform::win32 {

class Win32WshShell : public WshShell {
  public:
    std::string SpecialFolder(const std::string& name) override;
    std::unique_ptr<WshShortcut> CreateShortcut(const std::string& path) override;
};

}  // namespace platform::win32
