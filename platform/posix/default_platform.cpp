#include "default_platform.h"

#include "posix/command_line_folder.h"
#include "posix/posix_platform.h"

namespace platform {

Platform MakeDefaultPlatform(const char* argv0) {
    PosixPlatformOptions options;
    options.programPath = argv0 ? argv0 : "";
    return MakePosixPlatform(options);
}

std::string ProgramCommandLine(int argc, char** argv) {
    // The folder context command passes the path bare, spaces and all.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return CommandLineFolder(commandLine);
}

}  // namespace platform
