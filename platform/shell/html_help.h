// The compiled-help viewer's one entry point, as HtmlHelpA offers it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/no_windows_macros.h"

namespace platform {

constexpr unsigned kHhDisplayTopic = 0x0000;
constexpr unsigned kHhCloseAll = 0x0012;

class HtmlHelpApi {
  public:
    virtual ~HtmlHelpApi() = default;
    // HH_DISPLAY_TOPIC: shows topic (data) of the compiled help file in a
    // window of its own, returning its handle or 0. HH_CLOSE_ALL: closes every
    // help window this program opened. Throws PlatformError when the viewer
    // library cannot be reached at all; a missing file or topic is only a 0.
    virtual std::uintptr_t HtmlHelp(std::uintptr_t owner, const std::string& file, unsigned command,
                                    const std::string& data) = 0;
};

}  // namespace platform
