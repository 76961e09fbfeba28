// The smaller Windows services behind the seam: shell execute, HTML Help,
// the single-instance check and the program's own folder.
#pragma once

#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

namespace platform::win32 {

class Win32ShellExecutor : public ShellExecutor {
  public:
    std::intptr_t ShellExecute(std::uintptr_t owner, const char* operation, const std::string& file,
                               const char* parameters, const std::string& directory,
                               int showCommand) override;
};

// hhctrl.ocx is loaded on its first use, so a missing viewer fails the help
// call only.
class Win32HtmlHelp : public HtmlHelpApi {
  public:
    std::uintptr_t HtmlHelp(std::uintptr_t owner, const std::string& file, unsigned command,
                            const std::string& data) override;

  private:
    LibraryHandle library_;
    void* entry_ = nullptr;
};

// A named mutex per program in the user's session: it dies with the process
// that holds it, however that process ends.
class MutexInstanceCheck : public InstanceCheck {
  public:
    bool PreviousInstanceRunning(const std::string& programName) override;

  private:
    KernelHandle mutex_;
    bool previous_ = false;
};

// The folder of the running program's file, without a trailing backslash.
std::string ProgramFolder();

// The text after the program's name on a Windows command line, as the
// system hands it over: quotes and spacing inside kept.
std::string ArgumentsOf(const std::wstring& commandLine);

// The folder a Windows command line hands the shortcut maker: the arguments
// with one pair of double quotes around all of them taken off. Throws
// PlatformError for text that is not whole UTF-16 (an unpaired surrogate),
// which no name can hold exactly.
std::string CommandLineFolder(const std::wstring& commandLine);

}  // namespace platform::win32
