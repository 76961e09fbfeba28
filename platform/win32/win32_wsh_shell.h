// The scripting shell object on Windows: the Start Menu from the shell's
// special folder (the Programs folder on Windows 8 and later), shortcuts
// through the shell's own IShellLinkW, their bytes written by us.
#pragma once

#include <functional>
#include <string>

#include "platform/shell/wsh_shell.h"
#include "platform/win32/win32_handles.h"

namespace platform::win32 {

// Makes the shell link object a shortcut is built in; a test may hand in a
// stand-in that records what it is given.
using ShellLinkFactory = std::function<HRESULT(ComPtr<IShellLinkW>& link)>;

// The shell's own link object (CLSID_ShellLink).
HRESULT CreateShellLinkObject(ComPtr<IShellLinkW>& link);

// Whether the system reports Windows 8 or later to this program (a program
// whose manifest does not declare Windows 8.1 and 10 sees 6.2 there).
bool IsWindows8OrLater();

class Win32WshShell : public WshShell {
  public:
    // startMenu, when given, is the folder "StartMenu" names: a test's own,
    // so that it leaves the user's Start Menu alone.
    explicit Win32WshShell(ShellLinkFactory createLink = CreateShellLinkObject,
                           std::string startMenu = {});

    // "StartMenu": the folder today's Start menu lists, where the programs
    // put "the Start Menu". From Windows 8 on the app list shows only the
    // Programs folders, so it is the user's Programs folder there; before,
    // the Start Menu folder itself, whose entries showed at the menu's top.
    std::string SpecialFolder(const std::string& name) override;
    std::unique_ptr<WshShortcut> CreateShortcut(const std::string& path) override;

  private:
    ShellLinkFactory createLink_;
    std::string startMenu_;
};

}  // namespace platform::win32
