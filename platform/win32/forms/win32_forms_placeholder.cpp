// TEMPORARY: stands in for the native forms backend until it is merged; this
// file goes away with it. Every window or message box fails with the
// platform's error, so the programs' error routines run and they exit non-zero.
#include <memory>

#include "forms/forms_backend.h"
#include "platform_error.h"

namespace platform::win32 {

std::unique_ptr<forms::FormsBackend> MakeWin32FormsBackend() {
    throw PlatformError("This build has no native forms backend yet.");
}

}  // namespace platform::win32
