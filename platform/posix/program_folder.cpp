#include "platform/posix/program_folder.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/platform_error.h"
#include "platform/posix/path_mapping.h"

namespace platform::posix {

std::string ProgramFolderPosix(const std::string& fallbackProgramPath) {
    char buffer[PATH_MAX];
    std::string program;
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) {
        program.assign(buffer, static_cast<std::size_t>(n));
    } else if (!fallbackProgramPath.empty() &&
               ::realpath(fallbackProgramPath.c_str(), buffer) != nullptr) {
        program = buffer;
    } else {
        throw PlatformError("The folder of the running program cannot be found.");
    }
    const auto slash = program.rfind('/');
    return slash == 0 ? "/" : program.substr(0, slash);
}

std::string ProgramFolderWindows(const std::string& fallbackProgramPath) {
    return WindowsPathOf(ProgramFolderPosix(fallbackProgramPath));
}

}  // namespace platform::posix
