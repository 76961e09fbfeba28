// The one exception type of the platform layer. A platform call that fails
// throws it; the programs' error traps catch it at their boundaries.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

class PlatformError : public std::runtime_error {
  public:
    enum class Source { Call, Store, Choice };

    // Store: the settings store could not be used, and what says which
    // store and why, for the user as it stands. Choice: what the user chose
    // cannot be used, and what says why, for the user as it stands.
    explicit PlatformError(const std::string& what, Source source = Source::Call)
        : std::runtime_error(what), source_(source) {}

    bool OfStore() const { return source_ == Source::Store; }
    bool OfChoice() const { return source_ == Source::Choice; }

  private:
    Source source_;
};

}  // namespace platform
