// KestrowDefaults2005: shows and stores the default shortcut options.
#include <cstdio>
#include <exception>

#include "defaults-editor/mod_main.h"
#include "platform/default_platform.h"

int main(int argc, char** argv) {
    try {
        platform::Platform platform = platform::MakeDefaultPlatform(argc > 0 ? argv[0] : nullptr);
        defaults_editor::modMain program(platform);
        program.Main();
        platform.ui->Run();
        return program.ErrorReported() ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "KestrowDefaults2005: %s\n", e.what());
        return 1;
    }
}
