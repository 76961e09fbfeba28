#include "platform/win32/win32_platform.h"

#include <utility>

#include "platform/default_platform.h"
#include "platform/win32/forms/win32_forms_backend.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_wsh_shell.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

Platform MakeWin32Platform(forms::UserInterface::BackendFactory formsBackend) {
    if (!formsBackend) formsBackend = [] { return MakeWin32FormsBackend(); };
    // The native dialogs show Windows paths: the programs' own.
    auto ui = std::make_unique<forms::UserInterface>(std::move(formsBackend));
    return Platform(
        std::make_unique<Win32Registry>(), std::move(ui),
        [] { return std::make_unique<Win32WshShell>(); },
        [] { return std::make_unique<Win32FileSystemObject>(); },
        std::make_unique<Win32FileQueries>(), std::make_unique<Win32ShellExecutor>(),
        std::make_unique<Win32HtmlHelp>(), std::make_unique<MutexInstanceCheck>(),
        [] { return ProgramFolder(); },
        [](const std::string& path, const std::string& folder) {
            return IsInsideFolder(path, folder);
        });
}

}  // namespace platform::win32

namespace platform {

Platform MakeDefaultPlatform(const char*, forms::UserInterface::BackendFactory formsBackend) {
    return win32::MakeWin32Platform(std::move(formsBackend));
}

std::string ProgramCommandLine(int, char**) {
    // argv holds the command line in the ANSI code page and split at spaces;
    // the folder is the text after the program's name, as the user gave it.
    return win32::CommandLineFolder(::GetCommandLineW());
}

}  // namespace platform
