// Everything the programs get from the operating system, in one bundle that
// main builds and hands in, so that a test can build a fresh program on a
// fresh platform. Each member is one small interface; the programs' code
// includes only these headers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/forms/user_interface.h"
#include "platform/no_windows_macros.h"
#include "platform/registry/registry.h"
#include "platform/shell/file_system.h"
#include "platform/shell/html_help.h"
#include "platform/shell/shell_execute.h"
#include "platform/shell/wsh_shell.h"

namespace platform {

// Whether another running process holds the same program's instance lock.
// The first call takes the lock for this process; it dies with the process.
class InstanceCheck {
  public:
    virtual ~InstanceCheck() = default;
    virtual bool PreviousInstanceRunning(const std::string& programName) = 0;
};

struct Platform {
    using ScriptShellMaker = std::function<std::unique_ptr<WshShell>()>;
    using FileSystemMaker = std::function<std::unique_ptr<FileSystemObject>()>;
    using ProgramFolder = std::function<std::string()>;
    using FolderTest = std::function<bool(const std::string& path, const std::string& folder)>;

    // Every member, so that a target that leaves one out does not compile.
    Platform(std::unique_ptr<Registry> registry, std::unique_ptr<forms::UserInterface> ui,
             ScriptShellMaker createScriptShell, FileSystemMaker createFileSystem,
             std::unique_ptr<FileQueries> files, std::unique_ptr<ShellExecutor> shellExecutor,
             std::unique_ptr<HtmlHelpApi> htmlHelp, std::unique_ptr<InstanceCheck> instances,
             ProgramFolder programFolder, FolderTest isInsideFolder)
        : registry(std::move(registry)),
          ui(std::move(ui)),
          createScriptShell(std::move(createScriptShell)),
          createFileSystem(std::move(createFileSystem)),
          files(std::move(files)),
          shellExecutor(std::move(shellExecutor)),
          htmlHelp(std::move(htmlHelp)),
          instances(std::move(instances)),
          programFolder(std::move(programFolder)),
          isInsideFolder(std::move(isInsideFolder)) {}

    std::unique_ptr<Registry> registry;
    std::unique_ptr<forms::UserInterface> ui;
    // Objects the programs create on first use; each call makes a fresh one
    // and throws PlatformError when it cannot.
    ScriptShellMaker createScriptShell;
    FileSystemMaker createFileSystem;
    std::unique_ptr<FileQueries> files;
    std::unique_ptr<ShellExecutor> shellExecutor;
    std::unique_ptr<HtmlHelpApi> htmlHelp;
    std::unique_ptr<InstanceCheck> instances;
    // The folder holding the running program, as a Windows path without a
    // trailing backslash.
    ProgramFolder programFolder;
    // Whether a Windows path lies inside a folder (a Windows path) once both
    // are resolved the way this platform opens them.
    FolderTest isInsideFolder;
};

}  // namespace platform
