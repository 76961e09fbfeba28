// Handing a document or address to the desktop, as ShellExecuteA does.
#pragma once

#include <cstdint>
#include <string>

#include "platform/no_windows_macros.h"

namespace platform {

constexpr int kSwShowNormal = 1;

class ShellExecutor {
  public:
    virtual ~ShellExecutor() = default;
    // Opens file with the default verb (operation null) or the given one,
    // without waiting. Returns a value above 32 on success and 32 or less
    // when the shell reports a failure; throws PlatformError when the call
    // cannot be made at all.
    virtual std::intptr_t ShellExecute(std::uintptr_t owner, const char* operation,
                                       const std::string& file, const char* parameters,
                                       const std::string& directory, int showCommand) = 0;
};

}  // namespace platform
