// The Windows headers the Win32 backend uses, with the seam's names taken
// back from their macros afterwards. Backend units include these headers only
// through this one, so no macro comes back after it.
#pragma once

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

#include "platform/no_windows_macros.h"
