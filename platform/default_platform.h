// The platform of a real run, made the way this target makes it. Each target
// implements these once (posix/, win32/), so no program's main names a backend.
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform {

// argv0 is the program's argv[0], a fallback for finding its own folder.
// formsBackend, when given, makes the forms backend in place of this
// target's own (a test's scripted one). The bundle is complete.
Platform MakeDefaultPlatform(const char* argv0,
                             forms::UserInterface::BackendFactory formsBackend = {});

// The text after the program's own name on its command line, as the
// programs work with it: a Windows path stays as the user gave it. Throws
// PlatformError when this target cannot show it as such.
std::string ProgramCommandLine(int argc, char** argv);

}  // namespace platform
