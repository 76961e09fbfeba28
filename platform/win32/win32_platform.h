// The Win32 platform: the real registry, shell, file system and HTML Help,
// and the native forms backend, made on first use.
#pragma once

#include "platform.h"

namespace platform::win32 {

Platform MakeWin32Platform();

}  // namespace platform::win32
