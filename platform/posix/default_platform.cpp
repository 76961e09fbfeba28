#include "platform/default_platform.h"

#include <utility>

#include "platform/posix/command_line_folder.h"
#include "platform/posix/posix_platform.h"

namespace platform {

Platform MakeDefaultPlatform(const char* argv0, forms::UserInterface::BackendFactory formsBackend) {
    posix::PosixPlatformOptions options;
    options.programPath = argv0 ? argv0 : "";
    options.formsBackend = std::move(formsBackend);
    return posix::MakePosixPlatform(options);
}

std::string ProgramCommandLine(int argc, char** argv) {
    // The folder context command passes the path bare, spaces and all.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return posix::CommandLineFolder(commandLine);
}

}  // namespace platform
