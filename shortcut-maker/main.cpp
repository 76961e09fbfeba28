// Kestrow2005: writes shortcuts to folders into the user's Start Menu. With
// a folder on the command line it writes one at once; without, it asks.
#include <cstdio>
#include <exception>

#include "default_platform.h"
#include "mod_main.h"

int main(int argc, char** argv) {
    try {
        platform::Platform platform = platform::MakeDefaultPlatform(argc > 0 ? argv[0] : nullptr);
        modMain program(platform);
        program.Main(platform::ProgramCommandLine(argc, argv));
        platform.ui->Run();
        return program.ExitCode();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Kestrow: %s\n", e.what());
        return 1;
    }
}
