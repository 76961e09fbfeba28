#include "platform/posix/posix_wsh_shell.h"

#include <cerrno>

#include "platform/platform_error.h"
#include "platform/posix/path_mapping.h"
#include "platform/posix/registry/name_folding.h"
#include "platform/posix/shell_link/shell_link_writer.h"
#include "platform/posix/start_menu.h"
#include "platform/shell/app_user_model_id.h"
#include "platform/shell/shortcut_fields.h"
#include "platform/text/text.h"

namespace platform::posix {
namespace {

// Programs that live in the Windows folder itself; any other bare name is
// taken from the system folder, the next place on the shell's search path.
constexpr const char* kWindowsFolderPrograms[] = {"explorer.exe", "notepad.exe", "regedit.exe",
                                                  "hh.exe", "winhlp32.exe"};

std::string ResolveTarget(const std::string& target) {
    if (target.empty()) throw PlatformError("The shortcut has no target.");
    const bool absolute = target.size() >= 3 && target[1] == ':' && target[2] == '\\';
    if (absolute) return target;
    if (target.find_first_of("\\/:") != std::string::npos) {
        throw PlatformError("The shortcut target \"" + target + "\" is not a full path.");
    }
    for (const char* program : kWindowsFolderPrograms) {
        if (text::EqualsIgnoreCase(target, program)) return "C:\\Windows\\" + target;
    }
    return "C:\\Windows\\System32\\" + target;
}

class PosixShortcut : public WshShortcut {
  public:
    explicit PosixShortcut(std::string path) : path_(std::move(path)) {}

    void Save() override {
        CheckShortcutPath(path_);
        const std::string posix = PosixPathOf(path_);
        ShellLink link = ShellLinkOf(*this);
        link.appUserModelId = AppUserModelIdOfShortcut(path_);
        WriteShellLinkFile(posix, link);
    }

  private:
    std::string path_;
};

}  // namespace

std::string AppUserModelIdOfShortcut(const std::string& windowsPath) {
    // Normalised first: "Menu\.\A.lnk" is the file "Menu\A.lnk".
    return AppUserModelIdForFoldedPath(FoldName(WindowsPathOf(PosixPathOf(windowsPath))));
}

ShellLink ShellLinkOf(const WshShortcut& shortcut) {
    ShellLink link;
    link.targetPath = ResolveTarget(shortcut.TargetPath);
    link.arguments = shortcut.Arguments;
    link.description = shortcut.Description;
    CheckWindowStyle(shortcut.WindowStyle);
    link.showCommand = static_cast<std::uint32_t>(shortcut.WindowStyle);
    if (!shortcut.IconLocation.empty()) {
        const IconPlace icon = SplitIconLocation(shortcut.IconLocation);
        link.iconLocation = icon.file;
        link.iconIndex = icon.index;
    }
    return link;
}

std::string PosixWshShell::SpecialFolder(const std::string& name) {
    if (text::EqualsIgnoreCase(name, "StartMenu")) return StartMenuFolder(registry_);
    throw PlatformError("The special folder \"" + name + "\" is not known on this system.");
}

std::unique_ptr<WshShortcut> PosixWshShell::CreateShortcut(const std::string& path) {
    return std::make_unique<PosixShortcut>(path);
}

}  // namespace platform::posix
