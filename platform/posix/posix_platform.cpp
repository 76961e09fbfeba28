#include "platform/posix/posix_platform.h"

#include <csignal>
#include <utility>

#include "platform/posix/chm_help.h"
#include "platform/posix/flock_instance_check.h"
#include "platform/posix/forms/backend_loader.h"
#include "platform/posix/path_mapping.h"
#include "platform/posix/posix_file_queries.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_wsh_shell.h"
#include "platform/posix/program_folder.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/posix/xdg_shell_executor.h"

namespace platform::posix {

Platform MakePosixPlatform(const PosixPlatformOptions& options) {
    // A file-size limit (ulimit -f) fails the write that meets it, which the
    // program then reports, instead of killing the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::string programPath = options.programPath;
    forms::UserInterface::BackendFactory formsBackend = options.formsBackend;
    if (!formsBackend) {
        formsBackend = [programPath] { return LoadBestBackend(ProgramFolderPosix(programPath)); };
    }
    auto registry = OpenSqliteRegistry(options.registryPath.empty() ? DefaultRegistryPath()
                                                                    : options.registryPath);
    // The dialogs show POSIX paths; the programs work with their Z: form.
    auto ui = std::make_unique<forms::UserInterface>(
        std::move(formsBackend), [](const std::string& chosen) { return WindowsPathOf(chosen); });
    // The registry and the UI are owned by the bundle; their addresses stay
    // put when the bundle is moved.
    Registry* store = registry.get();
    forms::UserInterface* shownOn = ui.get();
    auto help = std::make_unique<ChmHelp>(*shownOn);
    return Platform(
        std::move(registry), std::move(ui),
        [store] { return std::make_unique<PosixWshShell>(*store); },
        [] { return std::make_unique<PosixFileSystemObject>(); },
        std::make_unique<PosixFileQueries>(), std::make_unique<XdgShellExecutor>(), std::move(help),
        std::make_unique<FlockInstanceCheck>(),
        [programPath] { return ProgramFolderWindows(programPath); },
        [](const std::string& path, const std::string& folder) {
            return IsInsideFolder(path, folder);
        });
}

}  // namespace platform::posix
