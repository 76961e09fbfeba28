// The Win32 platform: the real registry, shell, file system and HTML Help,
// and the native forms backend, made on first use.
#pragma once

#include "platform/platform.h"

namespace platform::win32 {

// formsBackend empty: the native forms backend.
Platform MakeWin32Platform(forms::UserInterface::BackendFactory formsBackend = {});

}  // namespace platform::win32
