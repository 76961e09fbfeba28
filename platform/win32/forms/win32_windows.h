// <windows.h> for the forms backend, without the macro that would rename the
// forms interface's MessageBox member.
#pragma once

#include <windows.h>

#undef MessageBox
