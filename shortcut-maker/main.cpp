// Kestrow2005: writes shortcuts to folders into the user's Start Menu. With
// a folder on the command line it writes one at once; without, it asks.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "mod_main.h"
#include "platform_error.h"
#include "posix/command_line_folder.h"
#include "posix/posix_platform.h"

namespace {

std::string ProgramPath(const char* argv0) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) return self.string();
    return argv0 ? argv0 : "";
}

}  // namespace

int main(int argc, char** argv) {
    // The folder context command passes the path bare, spaces and all.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    try {
        platform::PosixPlatformOptions options;
        options.programPath = ProgramPath(argc > 0 ? argv[0] : nullptr);
        platform::Platform platform = platform::MakePosixPlatform(options);
        modMain program(platform);
        std::string folder;
        try {
            folder = platform::CommandLineFolder(commandLine);
        } catch (const platform::PlatformError& e) {
            // Started from the file manager there is no terminal to read:
            // the refusal goes where the user looks.
            program.RefuseFolder(e.what());
            return program.ExitCode();
        }
        program.Main(folder);
        platform.ui->Run();
        return program.ExitCode();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Kestrow: %s\n", e.what());
        return 1;
    }
}
