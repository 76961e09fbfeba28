#include "platform/posix/command_line_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/platform_error.h"
#include "platform/shell/quoted_path.h"

namespace platform::posix {
namespace {

bool LooksLikeWindowsPath(const std::string& text) {
    const bool driveLetter =
        text.size() >= 2 && text[1] == ':' &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
    return driveLetter || text.find('\\') != std::string::npos;
}

std::string ZDriveForm(std::string posixPath) {
    if (posixPath.find('\\') != std::string::npos) {
        throw PlatformError("The folder \"" + posixPath +
                            "\" has a backslash in a name, which a shortcut cannot show.");
    }
    std::replace(posixPath.begin(), posixPath.end(), '/', '\\');
    return "Z:" + posixPath;
}

}  // namespace

std::string CommandLineFolder(const std::string& quotedCommandLine) {
    const std::string commandLine = PathInsideQuotes(quotedCommandLine);
    if (commandLine.empty()) return commandLine;
    if (commandLine[0] == '/') return ZDriveForm(commandLine);
    // A relative POSIX path to an existing folder ("Projects", "../Data"),
    // as typed in a terminal, means that folder.
    std::error_code error;
    if (!LooksLikeWindowsPath(commandLine) && std::filesystem::is_directory(commandLine, error)) {
        const auto absolute = std::filesystem::absolute(commandLine, error);
        if (!error) return ZDriveForm(absolute.lexically_normal().string());
    }
    return commandLine;
}

}  // namespace platform::posix
