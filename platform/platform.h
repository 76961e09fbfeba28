// Everything the programs get from the operating system, in one bundle that
// main builds and hands in, so that a test can build a fresh program on a
// fresh platform. Each member is one small interface; the programs' code
// includes only these headers.
#pragma once

#include <functional>
#include <memory>
#include <string>

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
    std::unique_ptr<Registry> registry;
    std::unique_ptr<forms::UserInterface> ui;
    // Objects the programs create on first use; each call makes a fresh one
    // and throws PlatformError when it cannot.
    std::function<std::unique_ptr<WshShell>()> createScriptShell;
    std::function<std::unique_ptr<FileSystemObject>()> createFileSystem;
    std::unique_ptr<FileQueries> files;
    std::unique_ptr<ShellExecutor> shellExecutor;
    std::unique_ptr<HtmlHelpApi> htmlHelp;
    std::unique_ptr<InstanceCheck> instances;
    // The folder holding the running program, as a Windows path without a
    // trailing backslash.
    std::function<std::string()> programFolder;
    // The folder browser: a Windows path, or empty text when cancelled.
    // Throws PlatformError when it cannot be shown.
    std::function<std::string(const std::string& instruction)> browseForFolder;
    // Whether a Windows path lies inside a folder (a Windows path) once both
    // are resolved the way this platform opens them.
    std::function<bool(const std::string& path, const std::string& folder)> isInsideFolder;
};

// Throws PlatformError naming the first member that is missing. The
// functions that make a platform call it once, so the programs can rely on
// every member being there.
void CheckComplete(const Platform& platform);

}  // namespace platform
