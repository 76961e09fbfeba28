// The one exception type of the platform layer. A platform call that fails
// throws it; the programs' error traps catch it at their boundaries.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

class PlatformError : public std::runtime_error {
  public:
    explicit PlatformError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace platform
