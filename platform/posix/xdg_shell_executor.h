// Hands documents and addresses to the desktop through xdg-open, detached,
// so that the program never waits for the browser or mail program.
#pragma once

#include "platform/shell/shell_execute.h"

namespace platform::posix {

class XdgShellExecutor : public ShellExecutor {
  public:
    // Returns 42 once xdg-open has been started; 31 (no association) for a
    // verb other than "open". A Z: path is handed over as its POSIX path,
    // anything else (an address) as it is. Throws PlatformError when
    // xdg-open is not on PATH or no process can be started.
    std::intptr_t ShellExecute(std::uintptr_t owner, const char* operation, const std::string& file,
                               const char* parameters, const std::string& directory,
                               int showCommand) override;
};

// The first executable name on PATH, or empty text.
std::string FindOnPath(const std::string& name);

}  // namespace platform::posix
