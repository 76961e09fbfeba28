#include "posix/posix_platform.h"

#include <csignal>
#include <utility>

#include "posix/chm_help.h"
#include "posix/flock_instance_check.h"
#include "posix/forms/backend_loader.h"
#include "posix/path_mapping.h"
#include "posix/posix_file_queries.h"
#include "posix/posix_file_system.h"
#include "posix/posix_wsh_shell.h"
#include "posix/program_folder.h"
#include "posix/registry/sqlite_registry.h"
#include "posix/xdg_shell_executor.h"

namespace platform::posix {

Platform MakePosixPlatform(const PosixPlatformOptions& options) {
    // A file-size limit (ulimit -f) fails the write that meets it, which the
    // program then reports, instead of killing the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    Platform platform;
    platform.registry = OpenSqliteRegistry(options.registryPath.empty() ? DefaultRegistryPath()
                                                                        : options.registryPath);
    const std::string programPath = options.programPath;
    forms::UserInterface::BackendFactory formsBackend = options.formsBackend;
    if (!formsBackend) {
        formsBackend = [programPath] { return LoadBestBackend(ProgramFolderPosix(programPath)); };
    }
    platform.ui = std::make_unique<forms::UserInterface>(std::move(formsBackend));

    // The registry and the UI are owned by the bundle; their addresses stay
    // put when the bundle is moved.
    Registry* registry = platform.registry.get();
    forms::UserInterface* ui = platform.ui.get();
    platform.createScriptShell = [registry] { return std::make_unique<PosixWshShell>(*registry); };
    platform.createFileSystem = [] { return std::make_unique<PosixFileSystemObject>(); };
    platform.files = std::make_unique<PosixFileQueries>();
    platform.shellExecutor = std::make_unique<XdgShellExecutor>();
    platform.htmlHelp = std::make_unique<ChmHelp>(*ui);
    platform.instances = std::make_unique<FlockInstanceCheck>();
    platform.programFolder = [programPath] { return ProgramFolderWindows(programPath); };
    platform.browseForFolder = [ui](const std::string& instruction) {
        return BrowseForFolderWindows(*ui, instruction);
    };
    platform.isInsideFolder = [](const std::string& path, const std::string& folder) {
        return IsInsideFolder(path, folder);
    };
    CheckComplete(platform);
    return platform;
}

}  // namespace platform::posix
