// The POSIX platform: the SQLite registry, the forms backends, shortcut files
// written by the project itself, the file system under the Z: drive.
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform::posix {

struct PosixPlatformOptions {
    std::string programPath;   // argv[0] resolved, for the program's folder
    std::string registryPath;  // empty: DefaultRegistryPath()
    // Empty: the best backend this session can show.
    forms::UserInterface::BackendFactory formsBackend;
};

Platform MakePosixPlatform(const PosixPlatformOptions& options);

}  // namespace platform::posix
