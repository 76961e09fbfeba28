#include "win32/win32_platform.h"

#include "default_platform.h"
#include "win32/forms/win32_forms_backend.h"
#include "win32/wide_text.h"
#include "win32/win32_file_system.h"
#include "win32/win32_registry.h"
#include "win32/win32_services.h"
#include "win32/win32_wsh_shell.h"
#include "win32/windows_api.h"

namespace platform::win32 {

Platform MakeWin32Platform() {
    Platform platform;
    platform.registry = std::make_unique<Win32Registry>();
    platform.ui = std::make_unique<forms::UserInterface>([] { return MakeWin32FormsBackend(); });
    // The UI is owned by the bundle; its address stays put when the bundle moves.
    forms::UserInterface* ui = platform.ui.get();
    platform.createScriptShell = [] { return std::make_unique<Win32WshShell>(); };
    platform.createFileSystem = [] { return std::make_unique<Win32FileSystemObject>(); };
    platform.files = std::make_unique<Win32FileQueries>();
    platform.shellExecutor = std::make_unique<Win32ShellExecutor>();
    platform.htmlHelp = std::make_unique<Win32HtmlHelp>();
    platform.instances = std::make_unique<MutexInstanceCheck>();
    platform.programFolder = [] { return ProgramFolder(); };
    platform.browseForFolder = [ui](const std::string& instruction) {
        return ui->Backend().BrowseForFolder(instruction);
    };
    return platform;
}

}  // namespace platform::win32

namespace platform {

Platform MakeDefaultPlatform(const char*) { return win32::MakeWin32Platform(); }

std::string ProgramCommandLine(int, char**) {
    // argv holds the command line in the ANSI code page and split at spaces;
    // the programs want the whole text as the user gave it.
    return win32::ArgumentsOf(::GetCommandLineW());
}

}  // namespace platform
