#include "platform/win32/win32_wsh_shell.h"

#include "platform/platform_error.h"
#include "platform/shell/shortcut_fields.h"
#include "platform/text/text.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

void Check(HRESULT hr, const std::string& what) {
    if (FAILED(hr)) {
        throw PlatformError(what + ": " + ErrorText(static_cast<unsigned long>(hr)));
    }
}

// A bare program name is resolved the way the shell resolves it when it
// saves a shortcut: the Windows folder's own program first ("explorer.exe"),
// else the search path.
std::wstring ResolveTarget(const std::string& target) {
    if (target.empty()) throw PlatformError("The shortcut has no target.");
    const std::wstring wide = Wide(target);
    if (target.find_first_of("\\/:") != std::string::npos) return wide;
    wchar_t windows[MAX_PATH];
    const UINT windowsLength = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (windowsLength > 0 && windowsLength < MAX_PATH) {
        const std::wstring inWindows = std::wstring(windows) + L"\\" + wide;
        const DWORD attributes = ::GetFileAttributesW(inWindows.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return inWindows;
        }
    }
    wchar_t found[MAX_PATH];
    const DWORD length = ::SearchPathW(nullptr, wide.c_str(), nullptr, MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        throw PlatformError("The shortcut target \"" + target + "\" was not found.");
    }
    return found;
}

class Win32Shortcut : public WshShortcut {
  public:
    explicit Win32Shortcut(std::string path) : path_(std::move(path)) {}

    void Save() override {
        CheckShortcutPath(path_);
        CheckWindowStyle(WindowStyle);
        const std::wstring path = Wide(path_);
        const std::wstring target = ResolveTarget(TargetPath);
        const IconPlace icon = IconLocation.empty() ? IconPlace{} : SplitIconLocation(IconLocation);

        ComScope com;
        ComPtr<IShellLinkW> link;
        Check(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 link.OutVoid()),
              "The shell's shortcut object is not available");
        Check(link->SetPath(target.c_str()), "Cannot set the shortcut's target");
        Check(link->SetArguments(Wide(Arguments).c_str()), "Cannot set the shortcut's arguments");
        Check(link->SetShowCmd(WindowStyle), "Cannot set the shortcut's window style");
        Check(link->SetDescription(Wide(Description).c_str()),
              "Cannot set the shortcut's description");
        if (!icon.file.empty()) {
            Check(link->SetIconLocation(Wide(icon.file).c_str(), icon.index),
                  "Cannot set the shortcut's icon");
        }
        ComPtr<IPersistFile> file;
        Check(link->QueryInterface(IID_IPersistFile, file.OutVoid()),
              "The shell's shortcut object cannot be saved");

        // Saved beside its place and moved there, so that a failure never
        // leaves half a shortcut under the real name.
        const std::wstring temporary =
            path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
        const HRESULT saved = file->Save(temporary.c_str(), TRUE);
        if (FAILED(saved)) {
            ::DeleteFileW(temporary.c_str());
            Check(saved, "Cannot write the shortcut \"" + path_ + "\"");
        }
        if (!::MoveFileExW(temporary.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD error = ::GetLastError();
            ::DeleteFileW(temporary.c_str());
            throw PlatformError("Cannot write the shortcut \"" + path_ + "\": " + ErrorText(error));
        }
    }

  private:
    std::string path_;
};

}  // namespace

std::string Win32WshShell::SpecialFolder(const std::string& name) {
    if (!text::EqualsIgnoreCase(name, "StartMenu")) {
        throw PlatformError("The special folder \"" + name + "\" is not known on this system.");
    }
    wchar_t folder[MAX_PATH];
    const HRESULT hr =
        ::SHGetFolderPathW(nullptr, CSIDL_STARTMENU | CSIDL_FLAG_CREATE, nullptr, 0, folder);
    if (FAILED(hr)) {
        throw PlatformError("The Start Menu folder cannot be found: " +
                            ErrorText(static_cast<unsigned long>(hr)));
    }
    return Utf8(folder);
}

std::unique_ptr<WshShortcut> Win32WshShell::CreateShortcut(const std::string& path) {
    return std::make_unique<Win32Shortcut>(path);
}

}  // namespace platform::win32
