// "Is a previous instance running?" through a lock file that the system
// releases when the process ends, however it ends.
#pragma once

#include <map>
#include <string>

#include "platform/platform.h"

namespace platform::posix {

class FlockInstanceCheck : public InstanceCheck {
  public:
    ~FlockInstanceCheck() override;
    // Throws PlatformError when the lock file cannot be made or opened.
    bool PreviousInstanceRunning(const std::string& programName) override;

  private:
    std::map<std::string, int> held_;  // program name -> locked file descriptor
};

// ${XDG_RUNTIME_DIR} when set, else a folder only this user may enter under
// ${TMPDIR:-/tmp}, made when missing. Throws PlatformError when that folder
// is not safe (someone else's, open to others, a symbolic link).
std::string LockFolder();

}  // namespace platform::posix
