#include "platform/posix/forms/backend_loader.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix/forms/console_backend.h"

namespace platform::posix {

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

bool DisplayAvailable() {
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

bool ConsoleWanted() {
    const char* ui = std::getenv("KESTROW_UI");
    return ui && std::strcmp(ui, "console") == 0;
}

using CreateQtBackend = forms::FormsBackend* (*)();

std::unique_ptr<forms::FormsBackend> LoadQtBackend(const std::string& programFolder) {
    constexpr const char* kLibrary = "libkestrow-qt.so";
    void* library = nullptr;
    if (!programFolder.empty()) {
        library = dlopen((programFolder + "/" + kLibrary).c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!library) library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        std::fprintf(stderr, "kestrow: no window library (%s); using the terminal\n",
                     why ? why : kLibrary);
        return nullptr;
    }
    // The library stays loaded: Qt cannot be unloaded from a running process.
    auto create = reinterpret_cast<CreateQtBackend>(dlsym(library, "kestrow_create_qt_backend"));
    if (!create) return nullptr;
    std::unique_ptr<forms::FormsBackend> backend(create());
    if (!backend) std::fputs("kestrow: cannot open the display; using the terminal\n", stderr);
    return backend;
}

}  // namespace

std::unique_ptr<forms::FormsBackend> LoadBestBackend(const std::string& programFolderPosix) {
    if (DisplayAvailable() && !ConsoleWanted()) {
        if (auto backend = LoadQtBackend(programFolderPosix)) return backend;
    }
    return std::make_unique<ConsoleBackend>(ConsoleBackend::OpenTerminal());
}

}  // namespace platform::posix
