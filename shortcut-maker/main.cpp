// Kestrow2005: writes shortcuts to folders into the user's Start Menu. With
// a folder on the command line it writes one at once; without, it asks.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/default_platform.h"
#include "platform/error_trap.h"
#include "shortcut-maker/mod_main.h"

int main(int argc, char** argv) {
    try {
        platform::Platform platform = platform::MakeDefaultPlatform(argc > 0 ? argv[0] : nullptr);
        shortcut_maker::modMain program(platform);
        std::string folder;
        // Started from the file manager there is no terminal to read: the
        // refusal goes where the user looks.
        if (!platform::RunTrapped(
                [&] { folder = platform::ProgramCommandLine(argc, argv); },
                [&](const platform::Failure& failure) { program.RefuseFolder(failure.text); })) {
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
