// The native Windows forms backend: dialogs built from the forms model's
// twips tables with plain Win32 controls, message boxes, the folder browser
// and the message loop.
#pragma once

#include <memory>

#include "platform/forms/forms_backend.h"

namespace platform::win32 {

// Throws PlatformError when the window classes cannot be registered.
std::unique_ptr<platform::forms::FormsBackend> MakeWin32FormsBackend();

}  // namespace platform::win32
