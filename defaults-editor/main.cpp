// KestrowDefaults2005: shows and stores the default shortcut options.
#include <cstdio>
#include <exception>

#include "mod_main.h"
#include "posix/posix_platform.h"

int main(int argc, char** argv) {
    (void)argc;
    try {
        platform::PosixPlatformOptions options;
        options.programPath = argv[0];
        platform::Platform platform = platform::MakePosixPlatform(options);
        defaults_editor::modMain program(platform);
        program.Main();
        if (platform.ui) platform.ui->Run();
        return program.ErrorReported() ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "KestrowDefaults2005: %s\n", e.what());
        return 1;
    }
}
